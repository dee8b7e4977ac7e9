// The help viewer: the manual's table of contents on the left, the chosen page on the right.
// One viewer lives as long as the main window; closing it only hides it.
#pragma once

#include <QMainWindow>
#include <QString>

class QAction;
class QKeyEvent;
class QGroupBox;
class QListWidget;
class QMenu;
class QTextEdit;

namespace skelda {

// The web search engine's query address; the encoded text follows "q=".
inline constexpr char WebSearchAddress[] = "https://www.google.com/search?q=";

// The search address for a text: UTF-8, encoded as the score address is.
QString WebSearchUrl(const QString& text);

class THelp : public QMainWindow {
    Q_OBJECT
public:
    explicit THelp(QWidget* parent = nullptr);

    // Shows the viewer with the focus, selects page n (0: none) and opens the selected page.
    void ShowHelpTopic(int n);

    // Writes the page shown as RTF to the file, replacing it; false, with a message, when the
    // file cannot be written.
    bool ExportTo(const QString& path);

    QListWidget* contents() const { return listBox1_; }
    QTextEdit* page() const { return richEdit1_; }
    QMenu* contextMenu() const { return popupMenu1_; }
    QAction* action(const QString& objectName) const;

    // The handlers of the window's menus.
    void ListBox1DblClick();
    void Export1Click();
    void Print1Click();
    void Close1Click();
    void Copy1Click();
    void Google1Click();
    void SelectAll1Click();

protected:
    void keyPressEvent(QKeyEvent* event) override;

private:
    void FormCreate();
    void BuildMenus();

    QGroupBox* groupBox1_ = nullptr;
    QListWidget* listBox1_ = nullptr;
    QTextEdit* richEdit1_ = nullptr;
    QMenu* popupMenu1_ = nullptr;
};

}  // namespace skelda
