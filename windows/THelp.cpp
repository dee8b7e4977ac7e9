#include "windows/THelp.h"

#include <QAction>
#include <QApplication>
#include <QClipboard>
#include <QDesktopServices>
#include <QFile>
#include <QFileDialog>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QKeyEvent>
#include <QListWidget>
#include <QMenu>
#include <QMenuBar>
#include <QMessageBox>
#include <QSaveFile>
#include <QTextDocumentFragment>
#include <QTextEdit>
#include <QUrl>
#include <QVBoxLayout>

#include "persist/ScoreSubmission.h"
#include "windows/PrintModule.h"
#include "windows/Rtf.h"

// The help pages are compiled into a static library; make sure they are registered.
static void RegisterHelpResources() {
    Q_INIT_RESOURCE(help);
}

namespace skelda {

namespace {

QByteArray HelpResource(const QString& name) {
    QFile file(QStringLiteral(":/help/") + name);
    if (!file.open(QIODevice::ReadOnly)) return {};
    return file.readAll();
}

}  // namespace

QString WebSearchUrl(const QString& text) {
    return QString::fromLatin1(WebSearchAddress) +
           QString::fromStdString(UrlEncode(text.toUtf8().toStdString()));
}

THelp::THelp(QWidget* parent) : QMainWindow(parent) {
    RegisterHelpResources();
    setObjectName(QStringLiteral("Help"));
    setWindowTitle(QStringLiteral("Orvandel Help"));
    resize(544, 375);

    auto* central = new QWidget(this);
    auto* row = new QHBoxLayout(central);
    row->setContentsMargins(4, 4, 4, 4);
    groupBox1_ = new QGroupBox(QStringLiteral("Table Of Contents"), central);
    groupBox1_->setObjectName(QStringLiteral("GroupBox1"));
    groupBox1_->setFixedWidth(185);
    auto* inGroup = new QVBoxLayout(groupBox1_);
    listBox1_ = new QListWidget(groupBox1_);
    listBox1_->setObjectName(QStringLiteral("ListBox1"));
    listBox1_->setSelectionMode(QAbstractItemView::SingleSelection);
    inGroup->addWidget(listBox1_);
    row->addWidget(groupBox1_);

    richEdit1_ = new QTextEdit(central);
    richEdit1_->setObjectName(QStringLiteral("RichEdit1"));
    richEdit1_->setReadOnly(true);
    richEdit1_->setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOn);
    richEdit1_->setHorizontalScrollBarPolicy(Qt::ScrollBarAsNeeded);
    richEdit1_->setPlainText(QStringLiteral("Double click on a page in the Table Of Contents"));
    richEdit1_->setContextMenuPolicy(Qt::CustomContextMenu);
    row->addWidget(richEdit1_, 1);
    setCentralWidget(central);

    BuildMenus();
    connect(listBox1_, &QListWidget::itemDoubleClicked, this, [this] { ListBox1DblClick(); });
    connect(richEdit1_, &QWidget::customContextMenuRequested, this,
            [this](const QPoint& at) { popupMenu1_->popup(richEdit1_->mapToGlobal(at)); });
    FormCreate();
}

void THelp::BuildMenus() {
    QMenu* file = menuBar()->addMenu(QStringLiteral("&File"));
    auto add = [this](QMenu* menu, const char* name, const QString& caption,
                      void (THelp::*slot)()) {
        QAction* a = menu->addAction(caption);
        a->setObjectName(QLatin1String(name));
        if (slot) connect(a, &QAction::triggered, this, slot);
        return a;
    };
    add(file, "Export1", QStringLiteral("&Export"), &THelp::Export1Click);
    add(file, "Print1", QStringLiteral("&Print"), &THelp::Print1Click);
    file->addSeparator();
    add(file, "Close1", QStringLiteral("&Close"), &THelp::Close1Click);

    popupMenu1_ = new QMenu(this);
    popupMenu1_->setObjectName(QStringLiteral("PopupMenu1"));
    add(popupMenu1_, "Copy1", QStringLiteral("Copy"), &THelp::Copy1Click);
    add(popupMenu1_, "Google1", QStringLiteral("Google"), &THelp::Google1Click);
    add(popupMenu1_, "SelectAll1", QStringLiteral("Select All"), &THelp::SelectAll1Click);
    popupMenu1_->addSeparator();
    add(popupMenu1_, "Cancel1", QStringLiteral("Cancel"), nullptr);  // only closes the menu
}

QAction* THelp::action(const QString& objectName) const {
    return findChild<QAction*>(objectName);
}

// The table of contents: one page title a line.
void THelp::FormCreate() {
    const QString table = QString::fromUtf8(HelpResource(QStringLiteral("TABLE.txt")));
    for (QString line : table.split(QLatin1Char('\n'))) {
        if (line.endsWith(QLatin1Char('\r'))) line.chop(1);
        if (!line.isEmpty()) listBox1_->addItem(line);
    }
}

void THelp::ShowHelpTopic(int n) {
    show();
    raise();
    activateWindow();
    listBox1_->setCurrentRow(n >= 1 && n <= listBox1_->count() ? n - 1 : -1);
    if (listBox1_->currentRow() < 0) listBox1_->clearSelection();
    ListBox1DblClick();
}

void THelp::ListBox1DblClick() {
    const QList<QListWidgetItem*> selected = listBox1_->selectedItems();
    if (selected.isEmpty()) return;
    const int index = listBox1_->row(selected.first());
    const QByteArray rtf = HelpResource(QString::number(index + 1) + QStringLiteral(".rtf"));
    // A page that is missing or not RTF leaves the shown page as it is.
    ReadRtf(rtf, *richEdit1_->document());
}

bool THelp::ExportTo(const QString& path) {
    QSaveFile file(path);
    if (!file.open(QIODevice::WriteOnly) || file.write(WriteRtf(*richEdit1_->document())) < 0 ||
        !file.commit()) {
        QMessageBox::critical(
            this, windowTitle(),
            QStringLiteral("Cannot write \"%1\": %2").arg(path, file.errorString()));
        return false;
    }
    return true;
}

void THelp::Export1Click() {
    QFileDialog dialog(this);
    dialog.setAcceptMode(QFileDialog::AcceptSave);
    dialog.setFileMode(QFileDialog::AnyFile);
    dialog.setDefaultSuffix(QStringLiteral("rtf"));
    dialog.setNameFilter(QStringLiteral("Rich Text Format Documents (*.rtf)"));
    dialog.setOption(QFileDialog::DontConfirmOverwrite);
    if (dialog.exec() != QDialog::Accepted || dialog.selectedFiles().isEmpty()) return;
    ExportTo(dialog.selectedFiles().first());
}

void THelp::Print1Click() {
    QString error;
    if (!PrintRichText(richEdit1_, QStringLiteral("Orvandel Industries Help"), error) &&
        !error.isEmpty())
        QMessageBox::critical(this, QStringLiteral("Skelda"),
                              QStringLiteral("Printing is not available: %1").arg(error));
}

void THelp::Close1Click() {
    hide();
}

// Escape closes the viewer, as it closes a dialog.
void THelp::keyPressEvent(QKeyEvent* event) {
    if (event->key() == Qt::Key_Escape && event->modifiers() == Qt::NoModifier) {
        Close1Click();
        return;
    }
    QMainWindow::keyPressEvent(event);
}

void THelp::Copy1Click() {
    richEdit1_->copy();
}

void THelp::SelectAll1Click() {
    richEdit1_->selectAll();
}

void THelp::Google1Click() {
    const QString selected = richEdit1_->textCursor().selection().toPlainText();
    const QString address = WebSearchUrl(selected);
    if (!QDesktopServices::openUrl(QUrl::fromEncoded(address.toLatin1()))) {
        QMessageBox::critical(this, QStringLiteral("Google"),
                              QStringLiteral("No web browser could open %1").arg(address));
    }
}

}  // namespace skelda
