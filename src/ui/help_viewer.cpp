#include "ui/help_viewer.h"

#include <QDir>
#include <QEvent>
#include <QFile>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QRegularExpression>
#include <QSplitter>
#include <QTabBar>
#include <QTabWidget>
#include <QTextBrowser>
#include <QTextDocumentFragment>
#include <QTimer>
#include <QVBoxLayout>

#include "ui/screen_rules.h"

// The help pages are compiled into the static library; their registration must be asked for.
static void InitHelpResources() {
  Q_INIT_RESOURCE(help);
}

namespace lmvn::ui {
namespace {

const QString kHelpRoot = ":/help/";

QString PlainText(const QString& html) {
  return QTextDocumentFragment::fromHtml(html).toPlainText().simplified();
}

}  // namespace

HelpViewer::HelpViewer(QWidget* parent) : QDialog(parent) {
  InitHelpResources();
  setObjectName("helpViewer");
  setWindowTitle("Lumivane Help");
  setAttribute(Qt::WA_DeleteOnClose, false);

  // Index every section: a heading with an id, and the text up to the next such heading.
  const QRegularExpression heading(R"re(<h([1-3]) id="([^"]+)"[^>]*>(.*?)</h\1>)re",
                                   QRegularExpression::DotMatchesEverythingOption);
  // The pages in reading order; any other page follows them.
  QStringList pages = {"index.html",     "dialog.html",    "common.html",
                       "fireworks.html", "starfield.html", "warp.html",
                       "sparklers.html", "gravity.html",   "galaxies.html"};
  for (const QString& page : QDir(kHelpRoot).entryList({"*.html"}, QDir::Files, QDir::Name)) {
    if (!pages.contains(page)) pages << page;
  }
  for (const QString& page : pages) {
    QFile file(kHelpRoot + page);
    if (!file.open(QIODevice::ReadOnly)) continue;
    const QString html = QString::fromUtf8(file.readAll());
    auto it = heading.globalMatch(html);
    std::vector<QRegularExpressionMatch> matches;
    while (it.hasNext()) matches.push_back(it.next());
    for (std::size_t i = 0; i < matches.size(); ++i) {
      const auto& m = matches[i];
      const qsizetype from = m.capturedEnd();
      const qsizetype to = i + 1 < matches.size() ? matches[i + 1].capturedStart() : html.size();
      sections_.push_back(
          {page, m.captured(2), PlainText(m.captured(3)), PlainText(html.mid(from, to - from))});
    }
  }

  browser_ = new QTextBrowser(this);
  browser_->setObjectName("helpBrowser");
  browser_->setAccessibleName("Help text");
  browser_->setSearchPaths({kHelpRoot});
  browser_->setOpenExternalLinks(false);

  tabs_ = new QTabWidget(this);
  auto* contents = new QListWidget(this);
  contents->setObjectName("helpContents");
  contents->setAccessibleName("Contents");
  for (const Section& section : sections_) {
    if (section.anchor != "top") continue;  // one entry per page, its title
    auto* item = new QListWidgetItem(section.heading, contents);
    item->setData(Qt::UserRole, section.page);
  }
  connect(contents, &QListWidget::itemActivated, this,
          [this](QListWidgetItem* item) { openPage(item->data(Qt::UserRole).toString(), {}); });
  connect(contents, &QListWidget::itemClicked, this,
          [this](QListWidgetItem* item) { openPage(item->data(Qt::UserRole).toString(), {}); });
  tabs_->addTab(contents, "&Contents");

  auto* searchPane = new QWidget(this);
  auto* searchLayout = new QVBoxLayout(searchPane);
  searchBox_ = new QLineEdit(searchPane);
  searchBox_->setObjectName("helpSearch");
  searchBox_->setAccessibleName("Search for");
  searchBox_->setPlaceholderText("Words to find");
  results_ = new QListWidget(searchPane);
  results_->setObjectName("helpResults");
  results_->setAccessibleName("Sections found");
  auto* searchLabel = new QLabel("&Find:", searchPane);
  searchLabel->setBuddy(searchBox_);
  searchLayout->addWidget(searchLabel);
  searchLayout->addWidget(searchBox_);
  searchLayout->addWidget(results_);
  connect(searchBox_, &QLineEdit::textChanged, this, [this] { runSearch(); });
  const auto openResult = [this](QListWidgetItem* item) {
    const QStringList where = item->data(Qt::UserRole).toString().split('#');
    openPage(where.value(0), where.value(1));
  };
  connect(results_, &QListWidget::itemActivated, this, openResult);
  connect(results_, &QListWidget::itemClicked, this, openResult);
  tabs_->addTab(searchPane, "&Search");
  // A tab's access key (Alt+C, Alt+S) goes on into the tab: the list, or the search box.
  tabs_->tabBar()->installEventFilter(this);

  auto* splitter = new QSplitter(this);
  splitter->addWidget(tabs_);
  splitter->addWidget(browser_);
  splitter->setStretchFactor(1, 3);
  splitter->setSizes({220, 600});
  auto* layout = new QHBoxLayout(this);
  layout->addWidget(splitter);
  resize(820, 560);
  FitWhenShown(this);
}

bool HelpViewer::eventFilter(QObject* watched, QEvent* event) {
  if (watched == tabs_->tabBar() && event->type() == QEvent::Shortcut) {
    QTimer::singleShot(0, this, [this] {
      if (tabs_->currentIndex() == 1) {
        searchBox_->setFocus(Qt::ShortcutFocusReason);
        searchBox_->selectAll();
      } else if (tabs_->currentWidget() != nullptr) {
        tabs_->currentWidget()->setFocus(Qt::ShortcutFocusReason);
      }
    });
  }
  return QDialog::eventFilter(watched, event);
}

QString HelpViewer::pageTitle(const QString& page) const {
  for (const Section& section : sections_) {
    if (section.page == page && section.anchor == "top") return section.heading;
  }
  return page;
}

void HelpViewer::openPage(const QString& page, const QString& anchor) {
  QUrl url("qrc" + kHelpRoot + page);
  if (!anchor.isEmpty()) url.setFragment(anchor);
  browser_->setSource(url);
  if (!anchor.isEmpty()) browser_->scrollToAnchor(anchor);
  show();
  raise();
  activateWindow();
}

void HelpViewer::showContents() {
  tabs_->setCurrentIndex(0);
  openPage("index.html", {});
}

void HelpViewer::showSearch() {
  tabs_->setCurrentIndex(1);
  if (browser_->source().isEmpty()) openPage("index.html", {});
  show();
  searchBox_->setFocus();
  searchBox_->selectAll();
}

bool HelpViewer::hasTopic(const QString& topic) const {
  for (const Section& section : sections_) {
    if (section.anchor.compare(topic, Qt::CaseInsensitive) == 0) return true;
  }
  return false;
}

void HelpViewer::showTopic(const QString& topic) {
  for (const Section& section : sections_) {
    if (section.anchor.compare(topic, Qt::CaseInsensitive) == 0) {
      openPage(section.page, section.anchor);
      return;
    }
  }
  showContents();
}

QStringList HelpViewer::search(const QString& query) const {
  const QStringList words = query.simplified().split(' ', Qt::SkipEmptyParts);
  QStringList found;
  if (words.isEmpty()) return found;
  for (const Section& section : sections_) {
    const QString all = section.heading + ' ' + section.text;
    bool every = true;
    for (const QString& word : words) every = every && all.contains(word, Qt::CaseInsensitive);
    if (every) found << section.page + '#' + section.anchor;
  }
  return found;
}

void HelpViewer::runSearch() {
  results_->clear();
  for (const QString& where : search(searchBox_->text())) {
    const QStringList parts = where.split('#');
    for (const Section& section : sections_) {
      if (section.page == parts.value(0) && section.anchor == parts.value(1)) {
        // The same field label is on several pages: each result names its page.
        const QString title = pageTitle(section.page);
        auto* item = new QListWidgetItem(
            section.anchor == "top" ? title : section.heading + QStringLiteral(" (") + title + ')',
            results_);
        item->setData(Qt::UserRole, where);
        break;
      }
    }
  }
}

}  // namespace lmvn::ui
