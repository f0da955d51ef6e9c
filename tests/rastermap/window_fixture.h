#pragma once

// The start of every raster map window test: a program folder of its own,
// the default settings, and message boxes recorded and answered from a queue
// (No or OK once it is empty).

#include <gtest/gtest.h>

#include <QComboBox>
#include <QLineEdit>
#include <QString>

#include <deque>
#include <vector>

#include "engine/engine.h"
#include "fixture.h"
#include "rastermap/raster_map_window.h"
#include "shell/appstate.h"
#include "shell/messages.h"
#include "shell/programfolders.h"
#include "shell/sharedsettings.h"

namespace tavisol::rastermap::testing {

class RasterWindowTest : public ::testing::Test {
protected:
    void SetUp() override {
        UseBuiltVantrix();
        ResetAppState();
        engine::SetInitialValues(sharedSettingsForTesting());
        setProgramFolderForTesting(folder.path());
        SetMessageBoxHandler([this](QWidget *, const Message &r) {
            messages.push_back(r);
            if (!answers.empty()) {
                const MsgAnswer a = answers.front();
                answers.pop_front();
                return a;
            }
            return r.buttons == MsgButtons::YesNo ? MsgAnswer::No : MsgAnswer::Ok;
        });
    }
    void TearDown() override {
        SetMessageBoxHandler({});
        setProgramFolderForTesting({});
        ResetAppState();
    }

    std::vector<QString> texts() const {
        std::vector<QString> t;
        for (const auto &m : messages) t.push_back(QString::fromStdString(m.text));
        return t;
    }

    TempFolder folder;
    std::vector<Message> messages;
    std::deque<MsgAnswer> answers;
};

// Types the export area's corners (degrees) and a cell of half a degree.
inline void TypeExportArea(RasterMapWindow &form, const char *lonStart, const char *lonEnd, const char *latStart,
                           const char *latEnd) {
    form.TxtLonStart->setText(QString::fromLatin1(lonStart));
    form.TxtLonEnd->setText(QString::fromLatin1(lonEnd));
    form.TxtLatStart->setText(QString::fromLatin1(latStart));
    form.TxtLatEnd->setText(QString::fromLatin1(latEnd));
    form.exportResolutionBox->setEditText(QStringLiteral("0.5"));
}

} // namespace tavisol::rastermap::testing
