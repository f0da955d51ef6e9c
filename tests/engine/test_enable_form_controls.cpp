#include <gtest/gtest.h>

#include <QCheckBox>
#include <QLineEdit>
#include <QPushButton>
#include <QWidget>

#include "engine/widgets/enable_form_controls.h"

namespace tavisol::engine {
namespace {

TEST(EnableFormControls, EnablesAllButNofontControls) {
    QWidget window;
    auto *button = new QPushButton("Save", &window);
    auto *field = new QLineEdit(&window);
    auto *kept = new QCheckBox("Keep", &window);
    kept->setProperty(ControlTagProperty, QStringLiteral("nofont"));
    for (QWidget *w : {static_cast<QWidget *>(button), static_cast<QWidget *>(field), static_cast<QWidget *>(kept)})
        w->setEnabled(false);
    EnableFormControls(&window);
    EXPECT_TRUE(button->isEnabled());
    EXPECT_TRUE(field->isEnabled());
    EXPECT_FALSE(kept->isEnabled());
    EnableFormControls(nullptr);
}

} // namespace
} // namespace tavisol::engine
