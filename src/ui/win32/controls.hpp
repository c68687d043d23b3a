// Our small Win32 window toolkit: an application object with its message loop,
// and forms built from a FormSpec and a table of ControlSpec rows. Every label
// and button is a real child window whose window text is what it shows.
#pragma once

#include <windows.h>

#include <functional>
#include <memory>
#include <span>
#include <string>
#include <string_view>
#include <vector>

#include "ui/control_table.hpp"
#include "ui/win32/gdi.hpp"

namespace tervalon::ui::win32 {

class Form;

// Shows a failure that escaped an event handler: the message (with the full-stop
// rule), the application title as caption, an error icon and an OK button.
void ShowFailure(std::string_view message);

// Runs an event handler; nothing it throws gets past this point.
template <class Handler>
void Guarded(Handler&& handler) noexcept
{
    try {
        handler();
    } catch (const std::exception& failure) {
        ShowFailure(failure.what());
    } catch (...) {
        ShowFailure("Eroare neprevazuta");
    }
}

// The program's hidden application window (it carries the task-bar button,
// the title and the icon, and owns every form) and the message loop.
class Application {
public:
    Application(HINSTANCE instance, std::string_view title);
    ~Application();
    Application(const Application&) = delete;
    Application& operator=(const Application&) = delete;

    static Application& Current();

    HINSTANCE instance() const { return instance_; }
    HWND handle() const { return window_.get(); }
    const std::string& title() const { return title_; }

    // Shows the main form (its show handler runs first) and dispatches window
    // messages until Terminate; returns the process exit code.
    int Run(Form& mainForm);
    // Asks the message loop to end once the current handler has returned.
    void Terminate();
    // Dispatches the messages already queued, then returns without waiting.
    void ProcessMessages();
    // Dispatches one message, giving our forms' keyboard handling the first look.
    void Dispatch(MSG& message);

private:
    static LRESULT CALLBACK WindowProc(HWND, UINT, WPARAM, LPARAM);

    HINSTANCE instance_;
    std::string title_;
    Window window_;
    Form* mainForm_ = nullptr;
};

class Form {
public:
    Form(const FormSpec& spec, std::span<const ControlSpec> controls, HWND owner);
    ~Form();
    Form(const Form&) = delete;
    Form& operator=(const Form&) = delete;

    HWND handle() const { return window_.get(); }
    HWND control(int row) const { return controls_[static_cast<std::size_t>(row)].window; }
    int ControlId(int row) const { return ControlIdBase + row; }

    void SetCaption(std::string_view caption);
    void SetText(int row, std::string_view text);
    std::string Text(int row) const;
    void SetTextColor(int row, Color color);
    Color TextColor(int row) const;
    void SetVisible(int row, bool visible);
    bool IsVisible(int row) const;
    void SetLeft(int row, int left);
    void SetGradient(int row, Color from, Color to);
    // The image control at `row` gets its own copy of the picture held by `source`.
    void CopyPicture(int row, int source);
    void Focus(int row);
    int FocusedRow() const;  // -1 when no control of this form has the focus

    // Shows the form: the show handler runs first when it goes from hidden to
    // shown, then the form is centred and put on screen with the focus rule.
    void Show();
    void Hide();
    bool IsShown() const;
    // Shows the form modally until a result is set, hides it again and
    // returns the result (2 for a close request or an end of the application).
    int ShowModal();
    // Ends a modal run with `result`; ignored when the form is not modal.
    void SetModalResult(int result);

    // Event handlers; exceptions are caught where they are called.
    std::function<void()> onShow;
    std::function<void(int row)> onClick;
    std::function<void()> onCloseRequest;        // not called while modal
    std::function<bool(WPARAM virtualKey)> onKeyDown;  // with key preview only; true = handled

    // The form whose window is `window` or holds it; nullptr when none of ours.
    static Form* Owning(HWND window);
    // Keyboard handling before the focused control sees a key; true = consumed.
    bool PreTranslate(const MSG& message);

    static void RegisterControlClasses(HINSTANCE instance);

private:
    struct Control;
    static LRESULT CALLBACK WindowProc(HWND, UINT, WPARAM, LPARAM);
    static LRESULT CALLBACK ControlWindowProc(HWND, UINT, WPARAM, LPARAM);
    static LRESULT CALLBACK ButtonProc(HWND, UINT, WPARAM, LPARAM, UINT_PTR, DWORD_PTR);
    static void PaintControl(Control& control, HDC dc);
    LRESULT HandleMessage(HWND, UINT, WPARAM, LPARAM);

    int RowOf(HWND window) const;  // -1 when `window` is none of this form's controls
    void CreateControl(int row);
    void FitWidthToText(Control& control);
    void Clicked(int row);
    void MoveFocus(bool backwards);
    void FocusRightfulButton();
    std::vector<int> TabOrder() const;  // visible buttons, in keyboard order
    void Centre();
    void PaintBackground(HDC dc, const RECT& area) const;

    struct Control {
        ControlSpec spec;
        HWND window = nullptr;
        Form* form = nullptr;
        int row = 0;
        Font font;
        Color textColor = WindowTextColor;
        GradientSpec gradient{};
        Bitmap picture;
    };

    FormSpec spec_;
    Font font_;
    Brush background_;
    Window window_;
    std::vector<Control> controls_;
    int modalResult_ = 0;
    bool modal_ = false;
    int lastFocusedRow_ = -1;  // the button that last took the focus
};

}  // namespace tervalon::ui::win32
