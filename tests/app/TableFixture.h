// A main window for a test: a settings store in memory, a temporary data and working
// folder, no audio unless asked for, started and shown on the offscreen platform.
#pragma once

#include <gtest/gtest.h>

#include <QCoreApplication>
#include <QTemporaryDir>
#include <QTest>
#include <functional>
#include <memory>

#include "persist/SettingsStore.h"
#include "table/TSkelda.h"

class TableFixture : public ::testing::Test {
protected:
    void Make(const std::function<void(skelda::MemorySettings&)>& arrange = {}) {
        auto settings = std::make_unique<skelda::MemorySettings>();
        store = settings.get();
        if (arrange) arrange(*store);
        skelda::TableOptions o;
        o.settings = std::move(settings);
        o.audio = audio;
        o.dataFolder = dir.filePath("data");
        o.workingFolder = dir.path();
        o.installedFolders = installedFolders;
        window = std::make_unique<skelda::TSkelda>(std::move(o));
        window->resize(1024, 768);
        window->FormCreate();
        window->show();
        QCoreApplication::processEvents();
    }
    // Runs the deal's and the computer's ticks until the human may draw or the round is over.
    bool WaitForHumanDraw() {
        for (int i = 0; i < 2000; ++i) {
            const skelda::Game& g = window->game();
            if (!g.YourScores.empty()) return false;
            if (!window->busy() && g.HumansTurn && g.TurnPhase == 1 && g.controls.PaintBox5)
                return true;
            if (!window->busy() && g.timers.Timer1)
                window->Run([this] { window->game().Timer1Timer(); });
            else if (!window->busy() && g.timers.Timer4)
                window->Run([this] { window->game().Timer4Timer(); });
            else
                QTest::qWait(5);
        }
        ADD_FAILURE() << "the human's turn never came";
        return false;
    }
    void TearDown() override {
        // A test may leave a game timer on; the window must not tick while it goes.
        if (window) window->game().timers = skelda::Timers{};
        window.reset();
    }

    QTemporaryDir dir;
    bool audio = false;
    QStringList installedFolders;  // none: only the working folder counts
    skelda::MemorySettings* store = nullptr;
    std::unique_ptr<skelda::TSkelda> window;
};
