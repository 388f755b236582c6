// The help viewer: the bundled help pages with their contents, a search over every section, and
// topics opened by the name of a setting or page.
#pragma once

#include <QDialog>
#include <QString>
#include <QStringList>
#include <vector>

class QLineEdit;
class QListWidget;
class QTabWidget;
class QTextBrowser;

namespace lmvn::ui {

class HelpViewer : public QDialog {
  Q_OBJECT
 public:
  explicit HelpViewer(QWidget* parent = nullptr);

  // The contents page; the search box; the section named `topic` (a setting's key or a page's
  // name), or the contents when there is none.
  void showContents();
  void showSearch();
  void showTopic(const QString& topic);

  // The sections whose heading or text holds every word of `query`, as "page#anchor".
  QStringList search(const QString& query) const;
  // Whether a section named `topic` exists.
  bool hasTopic(const QString& topic) const;
  QTextBrowser* browser() const { return browser_; }
  QLineEdit* searchBox() const { return searchBox_; }
  QListWidget* results() const { return results_; }

 protected:
  bool eventFilter(QObject* watched, QEvent* event) override;

 private:
  struct Section {
    QString page, anchor, heading, text;
  };
  void openPage(const QString& page, const QString& anchor);
  void runSearch();
  // The title of `page` (its "top" section's heading).
  QString pageTitle(const QString& page) const;

  std::vector<Section> sections_;
  QTabWidget* tabs_ = nullptr;
  QTextBrowser* browser_ = nullptr;
  QLineEdit* searchBox_ = nullptr;
  QListWidget* results_ = nullptr;
};

}  // namespace lmvn::ui
