// The help viewer's printing, a module of its own: Qt's print support (and what it brings)
// is loaded only when the player prints, not at every start (see windows/PrintModule.h).
#include <QPrintDialog>
#include <QPrinter>
#include <QTextEdit>

extern "C" Q_DECL_EXPORT bool SkeldaPrintRichText(QTextEdit* page, const QString* docName) {
    QPrinter printer;
    printer.setDocName(*docName);
    QPrintDialog dialog(&printer, page->window());
    if (dialog.exec() != QDialog::Accepted) return false;
    page->print(&printer);
    return true;
}
