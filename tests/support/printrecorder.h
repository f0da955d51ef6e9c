#pragma once

// A printer that keeps the texts it is given: a paged device of A4 pages (a
// PDF writer that writes nothing) whose painter records each drawn text with
// its page and place, so that a test reads what a print put on paper.

#include <QPaintEngine>
#include <QPageSize>
#include <QPdfWriter>
#include <QString>
#include <QTextItem>

#include <algorithm>
#include <map>
#include <memory>
#include <string>
#include <tuple>
#include <vector>

namespace tavisol::testsupport {

class PrintRecorder : public QPdfWriter {
public:
    struct Text {
        int page = 0;
        double y = 0, x = 0;
        QString text;
    };

    PrintRecorder() : QPdfWriter(QString()), engine_(std::make_unique<Engine>(*this)) {
        setPageSize(QPageSize(QPageSize::A4));
    }

    bool newPage() override {
        ++page_;
        return true;
    }
    const std::vector<Text> &texts() const { return texts_; }

    // The printed pages as text: one line per printed line, its texts from
    // left to right joined by " | ", a form feed between pages.
    std::string Lines() const {
        std::vector<Text> sorted = texts_;
        std::stable_sort(sorted.begin(), sorted.end(), [](const Text &a, const Text &b) {
            return std::tie(a.page, a.y, a.x) < std::tie(b.page, b.y, b.x);
        });
        std::string out;
        for (std::size_t i = 0; i < sorted.size(); ++i) {
            if (i > 0) {
                const bool sameLine = sorted[i].page == sorted[i - 1].page && sorted[i].y == sorted[i - 1].y;
                out += sameLine ? " | " : (sorted[i].page != sorted[i - 1].page ? "\n\f\n" : "\n");
            }
            out += sorted[i].text.toStdString();
        }
        return out;
    }

private:
    class Engine : public QPaintEngine {
    public:
        explicit Engine(PrintRecorder &owner) : QPaintEngine(AllFeatures), owner_(owner) {}
        bool begin(QPaintDevice *) override { return true; }
        bool end() override { return true; }
        void updateState(const QPaintEngineState &) override {}
        void drawPixmap(const QRectF &, const QPixmap &, const QRectF &) override {}
        void drawTextItem(const QPointF &p, const QTextItem &item) override {
            owner_.texts_.push_back({owner_.page_, p.y(), p.x(), item.text()});
        }
        Type type() const override { return User; }

    private:
        PrintRecorder &owner_;
    };

    QPaintEngine *paintEngine() const override { return engine_.get(); }

    std::unique_ptr<Engine> engine_;
    std::vector<Text> texts_;
    int page_ = 0;
};

} // namespace tavisol::testsupport
