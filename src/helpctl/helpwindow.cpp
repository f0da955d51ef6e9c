#include "helpctl/helpwindow.h"

#include <QAction>
#include <QDesktopServices>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QLineEdit>
#include <QListWidget>
#include <QScrollBar>
#include <QSplitter>
#include <QStyle>
#include <QTabWidget>
#include <QToolBar>
#include <QTreeWidget>
#include <QUrl>
#include <QVBoxLayout>

namespace tavisol::help {

namespace {

constexpr int kLocalRole = Qt::UserRole + 1;

QString fromStd(const std::string &s) { return QString::fromUtf8(s.data(), static_cast<qsizetype>(s.size())); }

} // namespace

ChmBrowser::ChmBrowser(QWidget *parent) : QTextBrowser(parent) {
    // Links are followed here so that pages resolve inside the archive.
    setOpenLinks(false);
    connect(this, &QTextBrowser::anchorClicked, this, &ChmBrowser::followLink);
}

void ChmBrowser::openPage(const QString &pathWithAnchor) {
    showPage(pathWithAnchor);
    if (position_ >= 0 && history_.at(position_) == pathWithAnchor)
        return;
    history_.erase(history_.begin() + (position_ + 1), history_.end());
    history_.append(pathWithAnchor);
    position_ = history_.size() - 1;
    emit historyChanged();
}

void ChmBrowser::goBack() {
    if (!canGoBack())
        return;
    showPage(history_.at(--position_));
    emit historyChanged();
}

void ChmBrowser::goForward() {
    if (!canGoForward())
        return;
    showPage(history_.at(++position_));
    emit historyChanged();
}

void ChmBrowser::clearHistory() {
    history_.clear();
    position_ = -1;
    current_.clear();
    emit historyChanged();
}

void ChmBrowser::showPage(const QString &pathWithAnchor) {
    const auto hash = pathWithAnchor.indexOf(QLatin1Char('#'));
    const QString path = hash < 0 ? pathWithAnchor : pathWithAnchor.left(hash);
    const QString anchor = hash < 0 ? QString() : pathWithAnchor.mid(hash + 1);
    if (archive_ == nullptr)
        return;
    const auto data = archive_->read(path.toStdString());
    if (!data) {
        setHtml(QStringLiteral("<p>The page %1 is not in the help file.</p>").arg(path.toHtmlEscaped()));
        current_ = path;
        setProperty("page", current_);
        return;
    }
    if (path != current_) {
        current_ = path;
        setProperty("page", current_);
        setHtml(QString::fromUtf8(data->data(), static_cast<qsizetype>(data->size())));
    }
    if (anchor.isEmpty())
        verticalScrollBar()->setValue(0);
    else
        scrollToAnchor(anchor);
}

QVariant ChmBrowser::loadResource(int type, const QUrl &name) {
    if (archive_ == nullptr || (!name.scheme().isEmpty() && name.scheme() != QLatin1String("chm")))
        return QTextBrowser::loadResource(type, name);
    const std::string path = resolvePath(current_.toStdString(), name.path().toStdString());
    const auto data = archive_->read(path);
    if (!data)
        return {};
    return QByteArray(data->data(), static_cast<qsizetype>(data->size()));
}

void ChmBrowser::followLink(const QUrl &link) {
    if (!link.scheme().isEmpty() && link.scheme() != QLatin1String("chm")) {
        QDesktopServices::openUrl(link);
        return;
    }
    if (link.path().isEmpty() && link.hasFragment()) {
        scrollToAnchor(link.fragment());
        return;
    }
    QString target = fromStd(resolvePath(current_.toStdString(), link.path().toStdString()));
    if (link.hasFragment())
        target += QLatin1Char('#') + link.fragment();
    openPage(target);
}

HelpWindow::HelpWindow(QWidget *parent) : QWidget(parent, Qt::Window) {
    setObjectName(QStringLiteral("TavisolHelpWindow"));
    setAttribute(Qt::WA_DeleteOnClose);
    // An open help window must not keep the program alive once its main window closes.
    setAttribute(Qt::WA_QuitOnClose, false);

    tree_ = new QTreeWidget;
    tree_->setHeaderHidden(true);
    tree_->setObjectName(QStringLiteral("helpContents"));

    indexFind_ = new QLineEdit;
    indexFind_->setPlaceholderText(tr("Type the keyword to find"));
    index_ = new QListWidget;
    index_->setObjectName(QStringLiteral("helpIndex"));
    auto *indexPage = new QWidget;
    auto *indexLayout = new QVBoxLayout(indexPage);
    indexLayout->setContentsMargins(2, 2, 2, 2);
    indexLayout->addWidget(indexFind_);
    indexLayout->addWidget(index_);

    tabs_ = new QTabWidget;
    tabs_->setObjectName(QStringLiteral("helpTabs"));
    tabs_->addTab(tree_, tr("Contents"));
    tabs_->addTab(indexPage, tr("Index"));

    browser_ = new ChmBrowser;
    browser_->setObjectName(QStringLiteral("helpPage"));

    auto *bar = new QToolBar;
    QAction *back = bar->addAction(style()->standardIcon(QStyle::SP_ArrowBack), tr("Back"));
    QAction *forward = bar->addAction(style()->standardIcon(QStyle::SP_ArrowForward), tr("Forward"));
    QAction *home = bar->addAction(style()->standardIcon(QStyle::SP_DirHomeIcon), tr("Home"));
    back->setObjectName(QStringLiteral("helpBack"));
    forward->setObjectName(QStringLiteral("helpForward"));
    home->setObjectName(QStringLiteral("helpHome"));
    back->setEnabled(false);
    forward->setEnabled(false);
    connect(back, &QAction::triggered, browser_, &ChmBrowser::goBack);
    connect(forward, &QAction::triggered, browser_, &ChmBrowser::goForward);
    connect(home, &QAction::triggered, this, [this] { openEntry(startPage_); });
    connect(browser_, &ChmBrowser::historyChanged, this, [this, back, forward] {
        back->setEnabled(browser_->canGoBack());
        forward->setEnabled(browser_->canGoForward());
    });
    auto *pagePane = new QWidget;
    auto *pageLayout = new QVBoxLayout(pagePane);
    pageLayout->setContentsMargins(0, 0, 0, 0);
    pageLayout->setSpacing(0);
    pageLayout->addWidget(bar);
    pageLayout->addWidget(browser_);

    auto *splitter = new QSplitter;
    splitter->addWidget(tabs_);
    splitter->addWidget(pagePane);
    splitter->setStretchFactor(0, 0);
    splitter->setStretchFactor(1, 1);
    splitter->setSizes({260, 640});
    auto *layout = new QHBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->addWidget(splitter);
    resize(900, 640);

    connect(tree_, &QTreeWidget::itemClicked, this,
            [this](QTreeWidgetItem *item) { openEntry(item->data(0, kLocalRole).toString()); });
    connect(tree_, &QTreeWidget::itemActivated, this,
            [this](QTreeWidgetItem *item) { openEntry(item->data(0, kLocalRole).toString()); });
    connect(index_, &QListWidget::itemActivated, this,
            [this](QListWidgetItem *item) { openEntry(item->data(kLocalRole).toString()); });
    connect(index_, &QListWidget::itemClicked, this,
            [this](QListWidgetItem *item) { openEntry(item->data(kLocalRole).toString()); });
    connect(indexFind_, &QLineEdit::textEdited, this, &HelpWindow::findInIndex);
    connect(indexFind_, &QLineEdit::returnPressed, this, [this] {
        if (auto *item = index_->currentItem())
            openEntry(item->data(kLocalRole).toString());
    });
}

HelpWindow::~HelpWindow() {
    // The browser refers to the archive: detach it before the archive goes.
    browser_->setArchive(nullptr);
}

bool HelpWindow::load(const QString &file) {
    auto archive = std::make_unique<ChmArchive>();
    if (!archive->open(file.toLocal8Bit().toStdString()))
        return false;
    browser_->setArchive(nullptr);
    browser_->clearHistory();
    archive_ = std::move(archive);
    file_ = file;
    browser_->setArchive(archive_.get());

    tree_->clear();
    index_->clear();
    indexFind_->clear();
    if (const auto hhc = archive_->read(archive_->contentsPath()))
        fillTree(nullptr, parseSitemap(*hhc));
    if (const auto hhk = archive_->read(archive_->indexPath()))
        fillIndex(parseSitemap(*hhk), 0);
    tree_->expandToDepth(0);

    const QString title = fromStd(archive_->title());
    setWindowTitle(title.isEmpty() ? tr("Tavisol Help") : title);

    QString start = fromStd(archive_->defaultTopic());
    if (start.isEmpty() && tree_->topLevelItemCount() > 0)
        start = tree_->topLevelItem(0)->data(0, kLocalRole).toString();
    startPage_ = start;
    if (!start.isEmpty())
        openEntry(start);
    return true;
}

void HelpWindow::showContents() { tabs_->setCurrentIndex(0); }

void HelpWindow::showIndex() {
    tabs_->setCurrentIndex(1);
    indexFind_->setFocus();
}

void HelpWindow::fillTree(QTreeWidgetItem *parent, const std::vector<SitemapEntry> &entries) {
    for (const auto &e : entries) {
        auto *item = parent != nullptr ? new QTreeWidgetItem(parent) : new QTreeWidgetItem(tree_);
        item->setText(0, fromStd(e.name));
        item->setData(0, kLocalRole, fromStd(e.local));
        fillTree(item, e.children);
    }
}

void HelpWindow::fillIndex(const std::vector<SitemapEntry> &entries, int level) {
    for (const auto &e : entries) {
        auto *item = new QListWidgetItem(QString(level * 4, QLatin1Char(' ')) + fromStd(e.name), index_);
        item->setData(kLocalRole, fromStd(e.local));
        fillIndex(e.children, level + 1);
    }
}

void HelpWindow::openEntry(const QString &local) {
    if (local.isEmpty() || archive_ == nullptr)
        return;
    browser_->openPage(fromStd(resolvePath("/", local.toStdString())) +
                       (local.contains(QLatin1Char('#')) ? local.mid(local.indexOf(QLatin1Char('#'))) : QString()));
}

void HelpWindow::findInIndex(const QString &text) {
    const QString wanted = text.trimmed();
    if (wanted.isEmpty())
        return;
    for (int i = 0; i < index_->count(); ++i) {
        if (index_->item(i)->text().trimmed().startsWith(wanted, Qt::CaseInsensitive)) {
            index_->setCurrentRow(i);
            index_->scrollToItem(index_->item(i), QAbstractItemView::PositionAtTop);
            return;
        }
    }
}

} // namespace tavisol::help
