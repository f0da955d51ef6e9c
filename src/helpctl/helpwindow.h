#pragma once

#include <QString>
#include <QStringList>
#include <QTextBrowser>
#include <QWidget>

#include <memory>

#include "helpctl/chmarchive.h"
#include "helpctl/sitemap.h"

class QLineEdit;
class QListWidget;
class QListWidgetItem;
class QTabWidget;
class QTreeWidget;
class QTreeWidgetItem;

namespace tavisol::help {

// Shows the pages of a compiled help file; resources come from the archive.
class ChmBrowser : public QTextBrowser {
    Q_OBJECT
public:
    explicit ChmBrowser(QWidget *parent = nullptr);
    void setArchive(const ChmArchive *archive) { archive_ = archive; }
    // Opens a page by its archive path, with an optional "#anchor", and
    // records it in the page history.
    void openPage(const QString &pathWithAnchor);
    QString currentPage() const { return current_; }
    QVariant loadResource(int type, const QUrl &name) override;

    bool canGoBack() const { return position_ > 0; }
    bool canGoForward() const { return position_ + 1 < history_.size(); }
    void goBack();
    void goForward();
    void clearHistory();

signals:
    void historyChanged();

private:
    void showPage(const QString &pathWithAnchor);
    void followLink(const QUrl &link);

    const ChmArchive *archive_ = nullptr;
    QString current_;
    QStringList history_;
    qsizetype position_ = -1;
};

// The help window: contents tree and index beside the page view.
class HelpWindow : public QWidget {
    Q_OBJECT
public:
    explicit HelpWindow(QWidget *parent = nullptr);
    ~HelpWindow() override;

    // False (and nothing changed) when the file cannot be read as a help file.
    bool load(const QString &file);
    QString file() const { return file_; }
    void showContents();
    void showIndex();

    QTreeWidget *contentsTree() const { return tree_; }
    QListWidget *indexList() const { return index_; }
    QTabWidget *tabs() const { return tabs_; }
    ChmBrowser *browser() const { return browser_; }

private:
    void fillTree(QTreeWidgetItem *parent, const std::vector<SitemapEntry> &entries);
    void fillIndex(const std::vector<SitemapEntry> &entries, int level);
    void openEntry(const QString &local);
    void findInIndex(const QString &text);

    std::unique_ptr<ChmArchive> archive_;
    QString file_;
    QTabWidget *tabs_ = nullptr;
    QTreeWidget *tree_ = nullptr;
    QLineEdit *indexFind_ = nullptr;
    QListWidget *index_ = nullptr;
    ChmBrowser *browser_ = nullptr;
    QString startPage_;
};

} // namespace tavisol::help
