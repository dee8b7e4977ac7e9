// The Card Deck dialog: previews a deck and a back, and applies them to the table. Not
// modal, so the table stays playable while it is open; closing only hides it, and the
// next showing finds the deck and back it last previewed.
#pragma once

#include <QCheckBox>
#include <QDialog>
#include <QPushButton>
#include <QScrollBar>

#include "cards/CardPictures.h"

namespace skelda {

class TSkelda;

class TCardDeckDlg : public QDialog {
    Q_OBJECT
public:
    // Made once at start-up, after the table has loaded its pictures: it previews the
    // table's current source.
    TCardDeckDlg(TSkelda& table, CardSourcePtr previewModule);

    // Judges the deck file at path as Browse does after its file dialog; true when it
    // became the preview.
    bool OpenPreview(const QString& path);

    CardSourcePtr previewModule() const { return previewModule_; }
    QScrollBar* scrollBar() const { return scrollBar1_; }
    QCheckBox* randomBack() const { return checkBox1_; }
    QPushButton* okButton() const { return button1_; }
    QPushButton* cancelButton() const { return button2_; }
    QPushButton* browseButton() const { return button3_; }
    QPushButton* resetButton() const { return button4_; }

    // Cancel and the close box only hide the dialog.
    void reject() override;

protected:
    void paintEvent(QPaintEvent* event) override;

private:
    void FormPaint();
    void ScrollBar1Change();
    void Button1Click();
    void Button2Click();
    void Button3Click();
    void Button4Click();

    TSkelda& table_;
    CardSourcePtr previewModule_;
    QScrollBar* scrollBar1_ = nullptr;
    QCheckBox* checkBox1_ = nullptr;
    QPushButton* button1_ = nullptr;
    QPushButton* button2_ = nullptr;
    QPushButton* button3_ = nullptr;
    QPushButton* button4_ = nullptr;
    QString lastFolder_;
};

}  // namespace skelda
