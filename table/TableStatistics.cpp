// Game > Statistics: the record of finished games that the game keeps in the settings,
// with a Reset that asks first.
#include <QDialog>
#include <QDialogButtonBox>
#include <QGridLayout>
#include <QLabel>
#include <QMessageBox>
#include <QPushButton>
#include <QVBoxLayout>

#include "persist/Statistics.h"
#include "table/TSkelda.h"

namespace skelda {

namespace {

const char* const kLevels[StatisticsLevels] = {"Easy(dumb)", "Medium", "Hard", "Expert", "Master"};

QString Rate(uint32_t won, uint32_t lost) {
    const int r = Statistics::RatePercent(won, lost);
    return r < 0 ? QStringLiteral("\u2013") : QStringLiteral("%1%").arg(r);
}

// Fills the grid from the store (reading repairs what is damaged).
void Fill(QGridLayout& grid, SettingsStore& store) {
    while (QLayoutItem* item = grid.takeAt(0)) {
        delete item->widget();
        delete item;
    }
    const Statistics s = ReadStatistics(store);
    int row = 0;
    auto line = [&](const QString& what, const QString& value, const QString& more = {}) {
        auto* name = new QLabel(what);
        auto* figure = new QLabel(value);
        figure->setObjectName(what);
        figure->setAlignment(Qt::AlignRight | Qt::AlignVCenter);
        grid.addWidget(name, row, 0);
        grid.addWidget(figure, row, 1);
        if (!more.isEmpty()) grid.addWidget(new QLabel(more), row, 2);
        ++row;
    };
    auto bold = [&](const QString& heading) {
        auto* l = new QLabel(QStringLiteral("<b>%1</b>").arg(heading));
        grid.addWidget(l, row++, 0, 1, 3);
    };
    bold(QStringLiteral("Games"));
    line(QStringLiteral("Played"), QString::number(s.played()));
    line(QStringLiteral("Won"), QString::number(s.won));
    line(QStringLiteral("Lost"), QString::number(s.lost));
    line(QStringLiteral("Win rate"), Rate(s.won, s.lost));
    line(QStringLiteral("Won without a hint"), QString::number(s.wonWithoutHint));
    bold(QStringLiteral("Win rate per level"));
    for (int l = 0; l < StatisticsLevels; ++l)
        line(QString::fromLatin1(kLevels[l]), Rate(s.wonAtLevel[l], s.lostAtLevel[l]),
             QStringLiteral("(%1 won, %2 lost)").arg(s.wonAtLevel[l]).arg(s.lostAtLevel[l]));
    bold(QStringLiteral("Winning totals"));
    line(QStringLiteral("Best"), QString::number(s.bestWin));
    line(QStringLiteral("Average"), QString::number(s.averageWin()));
    bold(QStringLiteral("Winning streaks"));
    line(QStringLiteral("Longest"), QString::number(s.longestStreak));
    line(QStringLiteral("Current"), QString::number(s.streak));
}

}  // namespace

void TSkelda::Statistics1Click() {
    QDialog dialog(this);
    dialog.setObjectName(QStringLiteral("Statistics"));
    dialog.setWindowTitle(QStringLiteral("Statistics"));
    auto* layout = new QVBoxLayout(&dialog);
    auto* grid = new QGridLayout;
    grid->setHorizontalSpacing(18);
    layout->addLayout(grid);
    Fill(*grid, *settings_);
    auto* buttons = new QDialogButtonBox(QDialogButtonBox::Close, &dialog);
    QPushButton* reset = buttons->addButton(QStringLiteral("&Reset"), QDialogButtonBox::ResetRole);
    reset->setObjectName(QStringLiteral("Reset"));
    // Enter closes the dialog; only a deliberate Reset, answered Yes, wipes the record.
    reset->setAutoDefault(false);
    QPushButton* close = buttons->button(QDialogButtonBox::Close);
    close->setAutoDefault(true);
    close->setDefault(true);
    connect(buttons, &QDialogButtonBox::rejected, &dialog, &QDialog::reject);
    connect(reset, &QPushButton::clicked, &dialog, [this, grid, &dialog] {
        QMessageBox ask(QMessageBox::Question, QStringLiteral("Skelda"),
                        QStringLiteral("Reset the statistics?"), QMessageBox::Yes | QMessageBox::No,
                        &dialog);
        ask.setDefaultButton(QMessageBox::No);
        ask.setEscapeButton(QMessageBox::No);
        if (ask.exec() != QMessageBox::Yes) return;
        ResetStatistics(*settings_);
        Fill(*grid, *settings_);
    });
    layout->addWidget(buttons);
    dialog.exec();
}

}  // namespace skelda
