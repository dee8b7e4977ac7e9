// The one interface through which the core reaches the world: the screen, the
// speakers, dialogs, the log, notices, web addresses, files and settings. The desktop
// program implements it with Qt; the headless driver and the tests with a recorder.
#pragma once

#include <cstdint>
#include <optional>
#include <string>

#include "persist/SettingsStore.h"

namespace skelda {

// Paint areas of the table, in the window's component order.
enum class Area { All = 0, PaintBox1 = 1, PaintBox2, PaintBox3, PaintBox4, PaintBox5, PaintBox6 };
enum class Icon { None, Info, Warning, Error, Question };
enum class Buttons { Ok, YesNo, YesNoCancel };
enum class Answer { Ok, Yes, No, Cancel };
enum class TimerId { Timer1 = 1, Timer2, Timer3, Timer4, Timer5 };

class Host {
public:
    virtual ~Host() = default;

    // Plays a numbered sound to its end; false when it did not play. With `noStop`
    // the sound is skipped (false) while another one is playing. Called only while
    // sound effects are switched on; SoundMuted reports a sound asked for while off.
    virtual bool PlaySound(int id, bool noStop) = 0;
    virtual void SoundMuted(int /*id*/) {}
    virtual void Pause(int ms) = 0;

    // Message boxes; `text` separates lines with CR LF.
    virtual Answer MessageBox(const std::string& title, const std::string& text, Icon icon,
                              Buttons buttons) = 0;
    // A one-line input box; nothing when cancelled.
    virtual std::optional<std::string> InputBox(const std::string& caption,
                                                const std::string& prompt,
                                                const std::string& defaultText) = 0;

    // Clears an area to the table and draws its content now.
    virtual void Repaint(Area area) = 0;
    // Draws the pick-up marker on the discard pile at (x, y), without clearing it.
    virtual void DrawPickupMarker(int /*x*/, int /*y*/) {}

    // One log line: the host puts the time stamp in front of `afterStamp`, which begins
    // with its own separator (" - " for all lines but one).
    virtual void LogLine(const std::string& afterStamp) = 0;
    virtual void ShowBalloon(const std::string& title, const std::string& text) = 0;
    virtual void OpenWebAddress(const std::string& address) = 0;
    virtual SettingsStore& Settings() = 0;

    // A game timer (Timer1, Timer4, Timer5) was switched.
    virtual void TimerSwitched(TimerId /*timer*/, bool /*on*/) {}

    // Files of the saved games, by full path. ReadFile gives nothing when the file
    // cannot be read; WriteFile replaces the file whole or leaves the old one, and
    // says why it failed.
    virtual std::string DataFolder() = 0;
    virtual bool FileExists(const std::string& path) = 0;
    virtual std::optional<std::string> ReadFile(const std::string& path) = 0;
    virtual bool WriteFile(const std::string& path, const std::string& bytes,
                           std::string& error) = 0;
    virtual bool RemoveFile(const std::string& path) = 0;
    // Renames a file, replacing `to`; false when it did not.
    virtual bool RenameFile(const std::string& /*from*/, const std::string& /*to*/) {
        return false;
    }

    // The operating system's name of the logged-on user.
    virtual std::string LogonName() = 0;
    // The process identifier (it makes the top-ten page's address unique).
    virtual uint32_t ProcessId() { return 0; }
};

}  // namespace skelda
