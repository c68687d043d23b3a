#include "ui/win32/controls.hpp"

#include <commctrl.h>

#include <algorithm>
#include <stdexcept>

#include "ui/error_text.hpp"
#include "ui/format_settings.hpp"
#include "ui/gradient.hpp"

namespace tervalon::ui::win32 {

namespace {

constexpr char ApplicationClass[] = "TervalonApplication";
constexpr char LabelClass[] = "TervalonLabel";
constexpr char PanelClass[] = "TervalonPanel";
constexpr char GradientPanelClass[] = "TervalonGradientPanel";
constexpr char ImageClass[] = "TervalonImage";

Application* currentApplication = nullptr;
std::vector<Form*> liveForms;

COLORREF ToColorRef(Color color)
{
    return color == WindowTextColor ? GetSysColor(COLOR_WINDOWTEXT) : static_cast<COLORREF>(color);
}

Font MakeFont(const FontSpec& spec)
{
    // A negative height asks for the character height, as the designs give it.
    const std::string face(spec.face);
    return Font(CreateFontA(-spec.height, 0, 0, 0, spec.bold ? FW_BOLD : FW_NORMAL, FALSE, FALSE, FALSE,
                            DEFAULT_CHARSET, OUT_DEFAULT_PRECIS, CLIP_DEFAULT_PRECIS, DEFAULT_QUALITY,
                            DEFAULT_PITCH | FF_DONTCARE, face.c_str()));
}

// Lets the parent paint what lies behind a control, so that labels and
// pictures have no background of their own.
void PaintParentBackground(HWND window, HDC dc)
{
    const HWND parent = GetParent(window);
    POINT origin{0, 0};
    MapWindowPoints(window, parent, &origin, 1);
    POINT previous{};
    OffsetViewportOrgEx(dc, -origin.x, -origin.y, &previous);
    SendMessageA(parent, WM_PRINTCLIENT, reinterpret_cast<WPARAM>(dc), PRF_CLIENT | PRF_ERASEBKGND);
    SetViewportOrgEx(dc, previous.x, previous.y, nullptr);
}

void FillSolid(HDC dc, const RECT& area, COLORREF color)
{
    const Brush brush(CreateSolidBrush(color));
    FillRect(dc, &area, brush.get());
}

void RegisterClassOnce(const char* name, WNDPROC procedure, HINSTANCE instance, HICON icon = nullptr)
{
    WNDCLASSEXA existing{};
    existing.cbSize = sizeof existing;
    if (GetClassInfoExA(instance, name, &existing)) return;
    WNDCLASSEXA wc{};
    wc.cbSize = sizeof wc;
    wc.lpfnWndProc = procedure;
    wc.hInstance = instance;
    wc.hCursor = LoadCursor(nullptr, IDC_ARROW);
    wc.hIcon = icon;
    wc.hIconSm = icon;
    wc.lpszClassName = name;
    if (!RegisterClassExA(&wc)) throw std::runtime_error("Nu pot inregistra clasa de fereastra");
}

BOOL CALLBACK CollectEnabledWindow(HWND window, LPARAM list)
{
    if (IsWindowEnabled(window)) reinterpret_cast<std::vector<HWND>*>(list)->push_back(window);
    return TRUE;
}

}  // namespace

void ShowFailure(std::string_view message)
{
    const std::string text = ErrorBoxText(message);
    const std::string caption = currentApplication ? currentApplication->title() : std::string();
    MessageBoxA(GetActiveWindow(), text.c_str(), caption.c_str(), MB_ICONERROR | MB_OK);
}

// ---------------------------------------------------------------- Application

Application::Application(HINSTANCE instance, std::string_view title) : instance_(instance), title_(title)
{
    currentApplication = this;
    INITCOMMONCONTROLSEX controls{sizeof controls, ICC_STANDARD_CLASSES};
    InitCommonControlsEx(&controls);

    const HICON icon = LoadIconA(instance, "MAINICON");
    RegisterClassOnce(ApplicationClass, WindowProc, instance, icon);
    Form::RegisterControlClasses(instance);

    // A zero-sized window in the middle of the screen: it is "shown" so that it
    // carries the task-bar button, yet nothing of it is ever seen.
    window_.reset(CreateWindowExA(0, ApplicationClass, title_.c_str(),
                                  WS_POPUP | WS_CAPTION | WS_CLIPSIBLINGS | WS_SYSMENU | WS_MINIMIZEBOX,
                                  GetSystemMetrics(SM_CXSCREEN) / 2, GetSystemMetrics(SM_CYSCREEN) / 2, 0, 0,
                                  nullptr, nullptr, instance, nullptr));
    if (!window_) throw std::runtime_error("Nu pot crea fereastra aplicatiei");
}

Application::~Application()
{
    window_.reset();
    if (currentApplication == this) currentApplication = nullptr;
}

Application& Application::Current() { return *currentApplication; }

int Application::Run(Form& mainForm)
{
    mainForm_ = &mainForm;
    ShowWindow(handle(), SW_SHOWNOACTIVATE);
    mainForm.Show();
    MSG message;
    while (GetMessageA(&message, nullptr, 0, 0) > 0) Dispatch(message);
    mainForm_ = nullptr;
    return 0;
}

void Application::Terminate() { PostQuitMessage(0); }

void Application::ProcessMessages()
{
    MSG message;
    while (PeekMessageA(&message, nullptr, 0, 0, PM_REMOVE)) {
        if (message.message == WM_QUIT) {
            PostQuitMessage(static_cast<int>(message.wParam));  // leave it for the loop that owns it
            return;
        }
        Dispatch(message);
    }
}

void Application::Dispatch(MSG& message)
{
    if (Form* form = Form::Owning(message.hwnd); form && form->PreTranslate(message)) return;
    TranslateMessage(&message);
    DispatchMessageA(&message);
}

LRESULT CALLBACK Application::WindowProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam)
{
    switch (message) {
    case WM_CLOSE:  // the task-bar button's close ends the program like OK
        Guarded([] {
            if (currentApplication) currentApplication->Terminate();
        });
        return 0;
    case WM_SETTINGCHANGE: {
        Guarded([] {
            FormatSettings& settings = ProcessFormatSettings();
            if (!settings.followRegionalChanges) return;
            char text[16]{};
            if (GetLocaleInfoA(LOCALE_USER_DEFAULT, LOCALE_SDECIMAL, text, sizeof text) > 1)
                settings.decimalSeparator = text[0];
            if (GetLocaleInfoA(LOCALE_USER_DEFAULT, LOCALE_SDATE, text, sizeof text) > 1)
                settings.dateSeparator = text[0];
        });
        break;
    }
    case WM_ACTIVATE:
        // Activating the task-bar button brings the main form forward.
        if (LOWORD(wParam) != WA_INACTIVE && currentApplication && currentApplication->mainForm_ &&
            currentApplication->mainForm_->IsShown()) {
            SetActiveWindow(currentApplication->mainForm_->handle());
            return 0;
        }
        break;
    default:
        break;
    }
    return DefWindowProcA(window, message, wParam, lParam);
}

// ----------------------------------------------------------------------- Form

Form::Form(const FormSpec& spec, std::span<const ControlSpec> controls, HWND owner)
    : spec_(spec), font_(MakeFont(spec.font)), background_(CreateSolidBrush(spec.background))
{
    const HINSTANCE instance = Application::Current().instance();
    const std::string className(spec.className);
    RegisterClassOnce(className.c_str(), WindowProc, instance);

    DWORD style = WS_POPUP | WS_CAPTION | WS_CLIPCHILDREN;
    DWORD exStyle = spec.topmost ? WS_EX_TOPMOST : 0;
    if (spec.frame == FrameStyle::DialogWithCloseBox) {
        style |= WS_SYSMENU;
        exStyle |= WS_EX_DLGMODALFRAME;
    }
    RECT outer{0, 0, spec.clientWidth, spec.clientHeight};
    AdjustWindowRectEx(&outer, style, FALSE, exStyle);

    controls_.reserve(controls.size());
    for (std::size_t i = 0; i < controls.size(); ++i) {
        Control& control = controls_.emplace_back();
        control.spec = controls[i];
        control.form = this;
        control.row = static_cast<int>(i);
        control.textColor = controls[i].textColor;
        control.gradient = controls[i].gradient;
    }

    const std::string caption(spec.caption);
    window_.reset(CreateWindowExA(exStyle, className.c_str(), caption.c_str(), style, CW_USEDEFAULT, CW_USEDEFAULT,
                                  outer.right - outer.left, outer.bottom - outer.top, owner, nullptr, instance,
                                  this));
    if (!window_) throw std::runtime_error("Nu pot crea fereastra");
    liveForms.push_back(this);
    for (std::size_t i = 0; i < controls_.size(); ++i) CreateControl(static_cast<int>(i));
}

Form::~Form()
{
    std::erase(liveForms, this);
    window_.reset();  // takes the child controls with it
}

void Form::RegisterControlClasses(HINSTANCE instance)
{
    for (const char* name : {LabelClass, PanelClass, GradientPanelClass, ImageClass})
        RegisterClassOnce(name, ControlWindowProc, instance);
}

void Form::CreateControl(int row)
{
    Control& control = controls_[static_cast<std::size_t>(row)];
    const ControlSpec& spec = control.spec;
    const HWND parent = spec.parent == NoParent ? handle() : this->control(spec.parent);
    const HINSTANCE instance = Application::Current().instance();
    const char* windowClass = nullptr;
    DWORD style = WS_CHILD | WS_CLIPSIBLINGS | (spec.visible ? WS_VISIBLE : 0);
    switch (spec.kind) {
    case ControlKind::Label: windowClass = LabelClass; break;
    case ControlKind::Panel: windowClass = PanelClass; style |= WS_CLIPCHILDREN; break;
    case ControlKind::GradientPanel: windowClass = GradientPanelClass; style |= WS_CLIPCHILDREN; break;
    case ControlKind::Image: windowClass = ImageClass; break;
    case ControlKind::Button: windowClass = WC_BUTTONA; style |= WS_TABSTOP | BS_PUSHBUTTON; break;
    }
    const std::string text(spec.kind == ControlKind::Image ? std::string_view{} : spec.text);
    control.window = CreateWindowExA(0, windowClass, text.c_str(), style, spec.bounds.left, spec.bounds.top,
                                     spec.bounds.width, spec.bounds.height, parent,
                                     reinterpret_cast<HMENU>(static_cast<INT_PTR>(ControlId(row))), instance,
                                     nullptr);
    if (!control.window) throw std::runtime_error("Nu pot crea controlul " + std::string(spec.name));
    control.font = spec.font.face.empty() ? Font{} : MakeFont(spec.font);
    SendMessageA(control.window, WM_SETFONT, reinterpret_cast<WPARAM>(control.font ? control.font.get() : font_.get()),
                 FALSE);
    if (spec.kind == ControlKind::Button) {
        SetWindowSubclass(control.window, ButtonProc, 1, reinterpret_cast<DWORD_PTR>(&control));
    } else {
        SetWindowLongPtrA(control.window, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(&control));
    }
    if (spec.kind == ControlKind::Image && !spec.text.empty()) {
        const std::string resource(spec.text);
        control.picture.reset(static_cast<HBITMAP>(
            LoadImageA(instance, resource.c_str(), IMAGE_BITMAP, 0, 0, LR_CREATEDIBSECTION)));
    }
    if (spec.autoWidth) FitWidthToText(control);
}

void Form::FitWidthToText(Control& control)
{
    const std::string text = Text(control.row);
    const HDC dc = GetDC(control.window);
    const HGDIOBJ old = SelectObject(dc, control.font ? control.font.get() : font_.get());
    SIZE extent{};
    GetTextExtentPoint32A(dc, text.c_str(), static_cast<int>(text.size()), &extent);
    SelectObject(dc, old);
    ReleaseDC(control.window, dc);
    SetWindowPos(control.window, nullptr, 0, 0, extent.cx, control.spec.bounds.height,
                 SWP_NOMOVE | SWP_NOZORDER | SWP_NOACTIVATE);
}

void Form::SetCaption(std::string_view caption) { SetWindowTextA(handle(), std::string(caption).c_str()); }

void Form::SetText(int row, std::string_view text)
{
    Control& control = controls_[static_cast<std::size_t>(row)];
    SetWindowTextA(control.window, std::string(text).c_str());
    if (control.spec.autoWidth) FitWidthToText(control);
    InvalidateRect(control.window, nullptr, TRUE);
}

std::string Form::Text(int row) const
{
    const HWND window = control(row);
    std::string text(static_cast<std::size_t>(GetWindowTextLengthA(window)) + 1, '\0');
    text.resize(static_cast<std::size_t>(GetWindowTextA(window, text.data(), static_cast<int>(text.size()))));
    return text;
}

void Form::SetTextColor(int row, Color color)
{
    Control& control = controls_[static_cast<std::size_t>(row)];
    control.textColor = color;
    InvalidateRect(control.window, nullptr, TRUE);
}

Color Form::TextColor(int row) const { return controls_[static_cast<std::size_t>(row)].textColor; }

void Form::SetVisible(int row, bool visible)
{
    ShowWindow(control(row), visible ? SW_SHOWNA : SW_HIDE);
}

bool Form::IsVisible(int row) const { return (GetWindowLongA(control(row), GWL_STYLE) & WS_VISIBLE) != 0; }

void Form::SetLeft(int row, int left)
{
    const HWND window = control(row);
    RECT r{};
    GetWindowRect(window, &r);
    MapWindowPoints(nullptr, GetParent(window), reinterpret_cast<POINT*>(&r), 2);
    SetWindowPos(window, nullptr, left, r.top, 0, 0, SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE);
}

void Form::SetGradient(int row, Color from, Color to)
{
    Control& control = controls_[static_cast<std::size_t>(row)];
    control.gradient.from = from;
    control.gradient.to = to;
    RedrawWindow(control.window, nullptr, nullptr, RDW_INVALIDATE | RDW_ALLCHILDREN);
}

void Form::CopyPicture(int row, int source)
{
    Control& target = controls_[static_cast<std::size_t>(row)];
    const Control& from = controls_[static_cast<std::size_t>(source)];
    target.picture.reset(from.picture ? static_cast<HBITMAP>(CopyImage(from.picture.get(), IMAGE_BITMAP, 0, 0,
                                                                       LR_CREATEDIBSECTION))
                                      : nullptr);
    InvalidateRect(target.window, nullptr, TRUE);
}

void Form::Focus(int row) { SetFocus(control(row)); }

int Form::FocusedRow() const { return RowOf(GetFocus()); }

std::vector<int> Form::TabOrder() const
{
    std::vector<int> rows;
    for (const Control& c : controls_)
        if (c.spec.kind == ControlKind::Button && c.spec.tabOrder >= 0 && IsVisible(c.row)) rows.push_back(c.row);
    std::stable_sort(rows.begin(), rows.end(), [this](int a, int b) {
        return controls_[static_cast<std::size_t>(a)].spec.tabOrder < controls_[static_cast<std::size_t>(b)].spec.tabOrder;
    });
    return rows;
}

void Form::Centre()
{
    RECT r{};
    GetWindowRect(handle(), &r);
    const int width = r.right - r.left, height = r.bottom - r.top;
    SetWindowPos(handle(), nullptr, (GetSystemMetrics(SM_CXSCREEN) - width) / 2,
                 (GetSystemMetrics(SM_CYSCREEN) - height) / 2, 0, 0, SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE);
}

bool Form::IsShown() const { return IsWindowVisible(handle()) != FALSE; }

void Form::Show()
{
    if (IsShown()) return;
    if (onShow) Guarded(onShow);  // before the window is put on screen
    Centre();
    ShowWindow(handle(), SW_SHOW);
    UpdateWindow(handle());
    // The button that last had the focus (every button reports taking it, see
    // ButtonProc) keeps it if it is visible again; otherwise the first visible
    // button in keyboard order gets it. A hidden button has no claim.
    FocusRightfulButton();
}

void Form::FocusRightfulButton()
{
    const std::vector<int> order = TabOrder();
    if (std::find(order.begin(), order.end(), lastFocusedRow_) != order.end()) {
        Focus(lastFocusedRow_);
    } else if (!order.empty()) {
        Focus(order.front());
    } else if (GetFocus() != handle()) {
        SetFocus(handle());
    }
}

void Form::Hide() { ShowWindow(handle(), SW_HIDE); }

int Form::ShowModal()
{
    modalResult_ = 0;
    modal_ = true;
    // Every other window of the program takes no input while this one is open.
    std::vector<HWND> disabled;
    EnumThreadWindows(GetCurrentThreadId(), CollectEnabledWindow, reinterpret_cast<LPARAM>(&disabled));
    std::erase(disabled, handle());
    for (HWND window : disabled) EnableWindow(window, FALSE);

    Show();
    Application& application = Application::Current();
    MSG message;
    while (modalResult_ == 0) {
        const BOOL got = GetMessageA(&message, nullptr, 0, 0);
        if (got <= 0) {
            // An end of the application closes the dialog as a cancel; the
            // quit is passed on, since the main loop still has to end.
            if (got == 0) PostQuitMessage(static_cast<int>(message.wParam));
            modalResult_ = 2;
            break;
        }
        application.Dispatch(message);
    }
    // Enabled again before the dialog disappears, so that the window beneath
    // can be activated.
    for (HWND window : disabled) EnableWindow(window, TRUE);
    Hide();
    modal_ = false;
    return modalResult_;
}

void Form::SetModalResult(int result)
{
    if (!modal_ || result == 0) return;
    modalResult_ = result;
    // A result set while handling a sent message (a click or a close request
    // sent from elsewhere) is seen inside GetMessage, which would go on
    // waiting: a posted message lets the modal loop look at it.
    PostMessageA(handle(), WM_NULL, 0, 0);
}

int Form::RowOf(HWND window) const
{
    for (const Control& c : controls_)
        if (c.window == window) return c.row;
    return -1;
}

Form* Form::Owning(HWND window)
{
    if (!window) return nullptr;
    const HWND root = GetAncestor(window, GA_ROOT);
    for (Form* form : liveForms)
        if (form->handle() == root) return form;
    return nullptr;
}

bool Form::PreTranslate(const MSG& message)
{
    if (message.message != WM_KEYDOWN && message.message != WM_SYSKEYDOWN) return false;
    const WPARAM key = message.wParam;
    bool handled = false;
    if (spec_.keyPreview && onKeyDown) {
        Guarded([&] { handled = onKeyDown(key); });
        if (handled) return true;
    }
    const bool control = GetKeyState(VK_CONTROL) < 0;
    if (key == VK_RETURN) {
        // Keys are delivered to the focused window: that is the button to press.
        int focused = RowOf(message.hwnd);
        if (focused < 0) focused = FocusedRow();
        if (focused >= 0 && controls_[static_cast<std::size_t>(focused)].spec.kind == ControlKind::Button) {
            Clicked(focused);
            return true;
        }
        return false;
    }
    if (key == VK_TAB && !control) {
        MoveFocus(GetKeyState(VK_SHIFT) < 0);
        return true;
    }
    if (key >= 'A' && key <= 'Z' && !control) {
        for (int row : TabOrder()) {
            if (MnemonicOf(controls_[static_cast<std::size_t>(row)].spec.text) != static_cast<char>(key)) continue;
            Focus(row);
            Clicked(row);
            return true;
        }
    }
    return false;
}

void Form::MoveFocus(bool backwards)
{
    const std::vector<int> order = TabOrder();
    if (order.empty()) return;
    const auto at = std::find(order.begin(), order.end(), FocusedRow());
    std::size_t next = 0;
    if (at != order.end()) {
        const auto index = static_cast<std::size_t>(at - order.begin());
        next = backwards ? (index + order.size() - 1) % order.size() : (index + 1) % order.size();
    }
    Focus(order[next]);
}

void Form::Clicked(int row)
{
    const ControlSpec& spec = controls_[static_cast<std::size_t>(row)].spec;
    // A pressed button has the focus before its window closes, however it was
    // pressed, so that it keeps the focus for the next showing.
    if (spec.kind == ControlKind::Button && GetFocus() != control(row)) Focus(row);
    SetModalResult(spec.modalResult);
    if (onClick) Guarded([&] { onClick(row); });
}

void Form::PaintBackground(HDC dc, const RECT& area) const { FillRect(dc, &area, background_.get()); }

LRESULT CALLBACK Form::WindowProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam)
{
    if (message == WM_NCCREATE) {
        const auto* create = reinterpret_cast<const CREATESTRUCTA*>(lParam);
        SetWindowLongPtrA(window, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(create->lpCreateParams));
    }
    auto* form = reinterpret_cast<Form*>(GetWindowLongPtrA(window, GWLP_USERDATA));
    if (!form) return DefWindowProcA(window, message, wParam, lParam);
    LRESULT result = 0;
    bool handled = false;
    Guarded([&] {
        result = form->HandleMessage(window, message, wParam, lParam);
        handled = true;
    });
    return handled ? result : 0;
}

LRESULT Form::HandleMessage(HWND window, UINT message, WPARAM wParam, LPARAM lParam)
{
    switch (message) {
    case WM_ERASEBKGND: {
        RECT area{};
        GetClientRect(window, &area);
        PaintBackground(reinterpret_cast<HDC>(wParam), area);
        return 1;
    }
    case WM_PRINTCLIENT: {
        RECT area{0, 0, spec_.clientWidth, spec_.clientHeight};
        PaintBackground(reinterpret_cast<HDC>(wParam), area);
        return 0;
    }
    case WM_COMMAND:
        if (HIWORD(wParam) == BN_CLICKED) {
            const int row = LOWORD(wParam) - ControlIdBase;
            if (row >= 0 && row < static_cast<int>(controls_.size())) Clicked(row);
            return 0;
        }
        break;
    case WM_SETFOCUS:
        // Back from another window (an error box, say): the focus returns to
        // the button that had it, so that Enter presses it again.
        FocusRightfulButton();
        return 0;
    case WM_CLOSE:  // the close box, Alt+F4 and the system menu's close
        if (modal_) {
            SetModalResult(2);
        } else if (onCloseRequest) {
            onCloseRequest();
        }
        return 0;
    default:
        break;
    }
    return DefWindowProcA(window, message, wParam, lParam);
}

// ------------------------------------------------------ labels, panels, images

void Form::PaintControl(Control& control, HDC dc)
{
    RECT area{};
    GetClientRect(control.window, &area);
    switch (control.spec.kind) {
    case ControlKind::Panel:
        FillSolid(dc, area, control.spec.color);
        if (control.spec.raisedBevel) DrawEdge(dc, &area, BDR_RAISEDINNER, BF_RECT);
        break;
    case ControlKind::GradientPanel:
        for (const Band& band : GradientBands(control.gradient, area.right, area.bottom)) {
            const RECT r{band.area.left, band.area.top, band.area.right(), band.area.bottom()};
            FillSolid(dc, r, band.color);
        }
        break;
    case ControlKind::Label: {
        PaintParentBackground(control.window, dc);
        const std::string text = control.form->Text(control.row);
        const HGDIOBJ old = SelectObject(dc, control.font ? control.font.get() : control.form->font_.get());
        SetBkMode(dc, TRANSPARENT);
        ::SetTextColor(dc, ToColorRef(control.textColor));
        UINT format = DT_NOPREFIX | DT_TOP | (control.spec.align == TextAlign::Center ? DT_CENTER : DT_LEFT);
        format |= control.spec.wordWrap ? DT_WORDBREAK : DT_SINGLELINE;
        DrawTextA(dc, text.c_str(), static_cast<int>(text.size()), &area, format);
        SelectObject(dc, old);
        break;
    }
    case ControlKind::Image:
        PaintParentBackground(control.window, dc);
        if (control.picture) {
            const HDC source = CreateCompatibleDC(dc);
            const HGDIOBJ old = SelectObject(source, control.picture.get());
            BITMAP info{};
            GetObjectA(control.picture.get(), sizeof info, &info);
            BitBlt(dc, 0, 0, info.bmWidth, info.bmHeight, source, 0, 0, SRCCOPY);
            SelectObject(source, old);
            DeleteDC(source);
        }
        break;
    case ControlKind::Button:
        break;
    }
}

LRESULT CALLBACK Form::ControlWindowProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam)
{
    auto* control = reinterpret_cast<Control*>(GetWindowLongPtrA(window, GWLP_USERDATA));
    if (!control) return DefWindowProcA(window, message, wParam, lParam);
    switch (message) {
    case WM_ERASEBKGND:
        return 1;  // painted whole in WM_PAINT
    case WM_PAINT: {
        PAINTSTRUCT paint;
        const HDC dc = BeginPaint(window, &paint);
        RECT area{};
        GetClientRect(window, &area);
        Guarded([&] {
            BufferedPaint buffer(dc, area.right, area.bottom);
            PaintControl(*control, buffer.dc());
        });
        EndPaint(window, &paint);
        return 0;
    }
    case WM_PRINTCLIENT:
        Guarded([&] { PaintControl(*control, reinterpret_cast<HDC>(wParam)); });
        return 0;
    case WM_COMMAND:  // buttons on panels report to the form
        return SendMessageA(GetParent(window), message, wParam, lParam);
    case WM_NCHITTEST:
        if (control->spec.kind == ControlKind::Label || control->spec.kind == ControlKind::Image) return HTTRANSPARENT;
        break;
    default:
        break;
    }
    return DefWindowProcA(window, message, wParam, lParam);
}

LRESULT CALLBACK Form::ButtonProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam, UINT_PTR, DWORD_PTR data)
{
    auto* control = reinterpret_cast<Control*>(data);
    if (message == WM_SETCURSOR && control->spec.handCursor && LOWORD(lParam) == HTCLIENT) {
        SetCursor(LoadCursor(nullptr, IDC_HAND));
        return TRUE;
    }
    if (message == WM_SETFOCUS) control->form->lastFocusedRow_ = control->row;
    if (message == WM_NCDESTROY) RemoveWindowSubclass(window, ButtonProc, 1);
    return DefSubclassProc(window, message, wParam, lParam);
}

}  // namespace tervalon::ui::win32
