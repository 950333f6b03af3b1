// SPDX-FileCopyrightText: 2026 The codelook developers
// SPDX-License-Identifier: MIT

#pragma once

// The forms runtime on plain Win32. The form is a top-level window of its own
// class; frames are group boxes, labels statics, text boxes edits, command
// buttons push buttons and option buttons radio buttons. Every control is a
// child of the form, stacked, placed and shown as the form model says, so a
// hidden frame's controls can neither be seen nor take the focus, and each
// box follows its label in z-order, which is how screen readers name it.
// Sizes and fonts are the model's at the window's DPI, and follow it when
// the window moves to a screen of another; a caption that would not fit
// whole on one line takes a font a pixel or two smaller. A static of no
// size, beneath every control, is the live region through which screen
// readers hear news. Notifications, the edits' keys (through a subclass) and
// the form's own messages are raised to the window as forms::Events.

#include "fonts.h"
#include "formmodel.h"
#include "forms.h"

#ifndef NOMINMAX
#define NOMINMAX
#endif
#include <windows.h>
// Windows 8's, which mingw-w64 gives only to programs that need Windows 8.
#ifndef EVENT_OBJECT_LIVEREGIONCHANGED
#define EVENT_OBJECT_LIVEREGIONCHANGED 0x8019
#endif

#include <map>
#include <string>
#include <vector>

class Win32Runtime final : public forms::Runtime
{
public:
    explicit Win32Runtime(const forms::FormDef &form);
    ~Win32Runtime() override;
    Win32Runtime(const Win32Runtime &) = delete;
    Win32Runtime &operator=(const Win32Runtime &) = delete;

    // Starts the form in the model's order, showing it with showCommand.
    // False when the program has ended.
    bool start(forms::Events &events, int showCommand = SW_SHOWNORMAL);
    // The message loop, until the program ends; returns its exit status.
    int run();
    // Handles the messages already waiting, then returns; false once the
    // program has ended. Lets tests see what the loop would have done.
    bool pump();
    // The program's own close: asks QueryUnload with vbFormCode and, unless
    // refused, ends with status 0.
    void unload();

    bool ended() const { return m_run >= Run::Ending; }
    int exitCode() const { return m_exitCode; }
    HWND form() const { return m_form; }
    HWND control(int index) const { return m_controls.at(std::size_t(index)).hwnd; }
    // -1 for a window that is none of the table's controls.
    int indexOf(HWND hwnd) const;
    UINT dpi() const { return m_dpi; }
    const forms::FormModel &model() const { return m_model; }

    void setCaption(std::u16string_view caption) override;
    int windowState() const override;
    void refresh() override;
    double width() const override;
    double height() const override;
    void move(double left, double top) override;
    double screenWidth() const override;
    double screenHeight() const override;
    void pinOnTop() override;
    void end(int exitCode) override;
    void setVisible(int control, bool visible) override;
    std::u16string text(int control) const override;
    void setText(int control, std::u16string_view text) override;
    bool locked(int control) const override;
    void setLocked(int control, bool locked) override;
    void setBackColor(int control, forms::Colour colour) override;
    void setFocus(int control) override;
    void setValue(int control, bool value) override;
    int msgBox(std::u16string_view prompt, int style, std::u16string_view title) override;

private:
    // Where the run is; it only moves on.
    enum class Run {
        Created, // not shown yet: sizes raise no Resize, a message box stands alone
        Shown,
        Ending, // ended inside a handler: finished when the outermost returns
        Ended, // no events, no window
    };

    struct Control
    {
        HWND hwnd = nullptr;
        WNDPROC editProc = nullptr; // an edit's own procedure, under the runtime's
        HFONT font = nullptr;
    };

    struct WindowStyle
    {
        const wchar_t *windowClass;
        DWORD style;
        DWORD exStyle;
    };

    static LRESULT CALLBACK formProc(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam);
    static LRESULT CALLBACK editProc(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam);
    LRESULT formMessage(UINT message, WPARAM wParam, LPARAM lParam);
    LRESULT editMessage(int control, HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam);
    // A box's limit, as the model states it, over typing and pasting.
    static std::size_t keptUnits(HWND box);
    bool admitsTyped(int control, char16_t unit) const;
    void paste(int control);

    // The form's messages, one handler each.
    LRESULT onCommand(HWND child, int code);
    LRESULT onCtlColor(UINT message, HDC dc, HWND child);
    LRESULT onSize();
    LRESULT onActivate(WPARAM wParam, LPARAM lParam);
    LRESULT onNextDlgCtl(WPARAM wParam, LPARAM lParam);
    LRESULT onSysCommand(WPARAM wParam, LPARAM lParam);
    LRESULT onClose();
    LRESULT onEndSession(bool ending);
    LRESULT onDpiChanged(UINT dpi, const RECT &suggested);

    WindowStyle windowStyle(int control) const;
    void createControls();
    void createLiveRegion();
    void announce(std::u16string_view text);
    void layout();
    void createFonts();
    void showControls();
    // Colours: colours.cpp.
    void readPlatformColours();
    HBRUSH brush(forms::Colour colour);
    void deleteBrushes();
    LRESULT onSysColorChange();
    LRESULT onSettingChange(WPARAM action, LPARAM area);
    void close(int unloadMode);
    bool tab(const MSG &msg);
    void dispatch(MSG &msg);
    void finish();

    // Raises one event; a handler's end() takes effect when the outermost
    // handler returns, and a failure it lets out ends the program with the
    // program's failure box.
    template <typename Raise>
    void raise(Raise &&raise);
    void fail(const char *what);

    forms::FormModel m_model;
    forms::Events *m_events = nullptr;
    HWND m_form = nullptr;
    UINT m_dpi = USER_DEFAULT_SCREEN_DPI;
    std::vector<Control> m_controls;
    HWND m_liveRegion = nullptr; // what screen readers are told away from the focus
    bool m_com = false; // initialised here, for the live region's setting
    Fonts m_fonts;
    forms::PlatformColours m_platform;
    std::map<forms::Colour, HBRUSH> m_brushes;
    HWND m_lastFocus = nullptr;
    Run m_run = Run::Created;
    int m_depth = 0; // handlers running, one inside another
    int m_exitCode = 0;
    const char *m_startFailure = nullptr; // what could not be made before start
};
