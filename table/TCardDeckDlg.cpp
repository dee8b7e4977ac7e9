// The Card Deck dialog's layout, preview and buttons.
#include "table/TCardDeckDlg.h"

#include <QFileDialog>
#include <QFileInfo>
#include <QPainter>
#include <array>

#include "cards/CardArt.h"
#include "game/Random.h"
#include "table/TSkelda.h"

namespace skelda {

namespace {
constexpr int ClientWidth = 486;
constexpr int ClientHeight = 267;
constexpr int ScrollBarHeight = 17;
}  // namespace

TCardDeckDlg::TCardDeckDlg(TSkelda& table, CardSourcePtr previewModule)
    : QDialog(&table, Qt::Dialog | Qt::CustomizeWindowHint | Qt::WindowTitleHint |
                          Qt::WindowSystemMenuHint | Qt::WindowCloseButtonHint),
      table_(table),
      previewModule_(previewModule ? std::move(previewModule) : BuiltInCards()) {
    // FormCreate
    setObjectName(QStringLiteral("CardDeckDlg"));
    setWindowTitle(QStringLiteral("Card Deck"));
    setModal(false);
    setFixedSize(ClientWidth, ClientHeight);
    setSizeGripEnabled(false);

    scrollBar1_ = new QScrollBar(Qt::Horizontal, this);
    scrollBar1_->setObjectName(QStringLiteral("ScrollBar1"));
    scrollBar1_->setGeometry(0, ClientHeight - ScrollBarHeight, ClientWidth, ScrollBarHeight);
    scrollBar1_->setRange(0, CardBackCount - 1);
    scrollBar1_->setPageStep(1);

    checkBox1_ = new QCheckBox(QStringLiteral("R&andom Back"), this);
    checkBox1_->setObjectName(QStringLiteral("CheckBox1"));
    checkBox1_->move(16, 224);
    checkBox1_->adjustSize();
    checkBox1_->setChecked(true);

    auto button = [this](const char* name, const QString& caption, int y) {
        auto* b = new QPushButton(caption, this);
        b->setObjectName(QString::fromLatin1(name));
        b->setGeometry(392, y, 75, 25);
        return b;
    };
    button1_ = button("Button1", QStringLiteral("OK"), 16);
    button2_ = button("Button2", QStringLiteral("Cancel"), 48);
    button3_ = button("Button3", QStringLiteral("&Browse"), 80);
    button4_ = button("Button4", QStringLiteral("&Reset"), 112);
    button1_->setDefault(true);

    if (previewModule_->IsDeckFile())
        lastFolder_ = QFileInfo(previewModule_->Path()).absolutePath();

    connect(scrollBar1_, &QScrollBar::valueChanged, this, [this] { ScrollBar1Change(); });
    connect(button1_, &QPushButton::clicked, this, [this] { Button1Click(); });
    connect(button2_, &QPushButton::clicked, this, [this] { Button2Click(); });
    connect(button3_, &QPushButton::clicked, this, [this] { Button3Click(); });
    connect(button4_, &QPushButton::clicked, this, [this] { Button4Click(); });
}

void TCardDeckDlg::reject() {
    Button2Click();
}

void TCardDeckDlg::paintEvent(QPaintEvent*) {
    FormPaint();
}

// Four random faces and the chosen back, made afresh at every paint.
void TCardDeckDlg::FormPaint() {
    const qreal ratio = devicePixelRatioF();
    QString error;
    std::array<QPixmap, 4> faces;
    for (QPixmap& face : faces) {
        const int s = static_cast<int>(Random(4));
        const int r = static_cast<int>(Random(13));
        face = previewModule_->Pixmap(FaceResourceName(s, r), ratio, error);
    }
    const QPixmap back =
        previewModule_->Pixmap(BackResourceName(scrollBar1_->value()), ratio, error);
    QPainter p(this);
    p.drawPixmap(16, 8, faces[1]);
    p.drawPixmap(32, 8, faces[2]);
    p.drawPixmap(48, 8, faces[3]);
    p.drawPixmap(64, 8, back);
    p.drawPixmap(0, 100, faces[0]);
}

void TCardDeckDlg::ScrollBar1Change() {
    update();
}

// OK: the back choice, then the previewed deck on the table. The dialog stays open.
void TCardDeckDlg::Button1Click() {
    SettingsStore& s = table_.Settings();
    if (checkBox1_->isChecked())
        s.Delete("BackID");
    else
        s.WriteNumber("BackID", static_cast<uint32_t>(scrollBar1_->value()));
    table_.LoadCardImages(previewModule_);
}

void TCardDeckDlg::Button2Click() {
    hide();
    setResult(QDialog::Rejected);
}

void TCardDeckDlg::Button3Click() {
    QFileDialog dialog(this, QStringLiteral("Choose Deck"), lastFolder_,
                       QStringLiteral("DLL Card Decks (*.car *.dll)"));
    dialog.setObjectName(QStringLiteral("OpenDialog1"));
    dialog.setFileMode(QFileDialog::ExistingFile);
    dialog.setAcceptMode(QFileDialog::AcceptOpen);
    dialog.setDefaultSuffix(QStringLiteral("car"));
    if (dialog.exec() != QDialog::Accepted || dialog.selectedFiles().isEmpty()) return;
    const QString path = QFileInfo(dialog.selectedFiles().front()).absoluteFilePath();
    lastFolder_ = QFileInfo(path).absolutePath();
    OpenPreview(path);
}

// A deck that cannot be opened or lacks a picture is reported and changes nothing; the
// one it would have replaced stays the preview. A deck only previewed and then replaced
// is closed at once, unless the table uses it.
bool TCardDeckDlg::OpenPreview(const QString& path) {
    QString error;
    CardSourcePtr deck = OpenDeckFile(path, error);
    if (!deck) {
        table_.MessageBox("Skelda", error.toStdString(), Icon::Error, Buttons::Ok);
        return false;
    }
    if (const std::optional<QString> missing = FirstMissingPicture(*deck)) {
        deck.reset();
        table_.MessageBox("Skelda", missing->toStdString(), Icon::Error, Buttons::Ok);
        return false;
    }
    previewModule_ = std::move(deck);
    update();
    return true;
}

// Reset: the built-in pictures with a random back, on the table and in the preview.
void TCardDeckDlg::Button4Click() {
    SettingsStore& s = table_.Settings();
    s.Delete("DeckFile");
    s.Delete("BackID");
    table_.LoadCardImages(nullptr);
    previewModule_ = BuiltInCards();
    update();
}

}  // namespace skelda
