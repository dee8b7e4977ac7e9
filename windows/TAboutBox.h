// The about box: the program's name and version under a banner, with links to the
// maker's web site. One box lives as long as the main window; closing it only hides it.
#pragma once

#include <QDialog>
#include <QLabel>
#include <QPixmap>
#include <QString>

class QPushButton;

namespace skelda {

// The maker's web site; both links of the box lead to its root.
inline constexpr char MakerWebSite[] = "https://orvandel.example/";

// The program's version as four numbers ("1.0" reads "1.0.0.0"); empty when there is none,
// "Unknown version" when it is not a dotted list of at most four numbers of 16 bits.
QString FileVersionText(const QString& version);

// The banner across the top of the box: green felt, a fan of cards and the title.
QPixmap AboutBanner(int width, int height, qreal devicePixelRatio);

// A label that reports a left click released over it.
class ClickLabel : public QLabel {
    Q_OBJECT
public:
    using QLabel::QLabel;

signals:
    void clicked();

protected:
    void mouseReleaseEvent(QMouseEvent* event) override;
};

class TAboutBox : public QDialog {
    Q_OBJECT
public:
    explicit TAboutBox(QWidget* parent = nullptr);

    // Fills the box for the product and shows it, not modal, with the focus.
    void ShowAbout(const QString& productName);

    QString homePageAddress() const { return homePage_; }
    QLabel* productNameLabel() const { return productName_; }
    QLabel* versionLabel() const { return version_; }
    QLabel* appTypeLabel() const { return appType_; }
    QLabel* charTypeLabel() const { return charType_; }
    QLabel* commentsLabel() const { return comments_; }
    ClickLabel* bannerLabel() const { return image1_; }
    ClickLabel* programIconLabel() const { return programIcon_; }
    QPushButton* okButton() const { return ok_; }

private:
    void FormCreate();
    void DrawPictures();
    void Image1Click();
    void ProgramIconClick();
    void OKButtonClick();
    void OpenAddress(const QString& address);

    ClickLabel* image1_ = nullptr;
    ClickLabel* appType_ = nullptr;
    QLabel* charType_ = nullptr;
    ClickLabel* programIcon_ = nullptr;
    QLabel* productName_ = nullptr;
    QLabel* version_ = nullptr;
    QLabel* comments_ = nullptr;
    QPushButton* ok_ = nullptr;
    QString productTemplate_;
    QString homePage_;
    qreal picturesRatio_ = 0;
};

}  // namespace skelda
