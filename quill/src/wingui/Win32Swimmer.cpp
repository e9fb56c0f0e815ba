#include "Win32Swimmer.h"

#include <mmsystem.h>

#include "FatalCheck.h"

namespace {

// The picture's operations on a GDI device context: fills with the window's
// brushes, lines with its pen (selected for the picture's lifetime).
class CGdiCanvas : public CCanvas
{
public:
    CGdiCanvas(HDC hdc, HBRUSH white, HBRUSH black, HBRUSH red, HPEN pen)
        : Hdc(hdc), Brushes{white, black, red}, OldPen(SelectObject(hdc, pen))
    {
    }
    ~CGdiCanvas() { SelectObject(Hdc, OldPen); }

    void Fill(const PixelRect& r, Paint paint) override
    {
        const RECT rect = {r.Left, r.Top, r.Right, r.Bottom};
        FillRect(Hdc, &rect, Brushes[static_cast<int>(paint)]);
    }
    void MoveTo(int x, int y) override { MoveToEx(Hdc, x, y, nullptr); }
    void LineTo(int x, int y) override { ::LineTo(Hdc, x, y); }

private:
    HDC Hdc;
    HBRUSH Brushes[3];  // by Paint: background, joint, head
    HGDIOBJ OldPen;
};

}  // namespace

CWin32Swimmer::CWin32Swimmer(int segments, const CFFNetwork& network, double nativeDirection,
                             double scale)
    : Loop(segments, network, nativeDirection, scale),
      PendingTicks(0),
      InTimerCallback(false),
      hbrWhite(nullptr),
      hbrBlack(nullptr),
      hbrRed(nullptr),
      hpenBlack(nullptr),
      TimerID(0)
{
    const auto brush = [](Paint paint) {
        const auto& rgb = PaintColours[static_cast<int>(paint)];
        return CreateSolidBrush(RGB(rgb[0], rgb[1], rgb[2]));
    };
    hbrBlack = brush(Paint::Joint);
    hbrWhite = brush(Paint::Background);
    hbrRed = brush(Paint::Head);
    hpenBlack = CreatePen(PS_SOLID, 1, 0);

    Create(nullptr, Title, nullptr, 0, WS_MAXIMIZEBOX);
    ShowTitle(1);
    RECT desktop;
    GetWindowRect(GetDesktopWindow(), &desktop);
    SetWindowPos(GetHwnd(), nullptr, 0, 0, desktop.right, desktop.bottom, SWP_NOZORDER);

    // The start is placed in the client area the window has now; the first
    // picture, from a tick or a paint, starts from a white client area.
    const ClientSize client = GetClientSize();
    Loop.Start(client);
    Picture.DirtyWholeClient(client);

    Show(1);
    SetActiveWindow(GetHwnd());

    FATAL_CHECK(timeBeginPeriod(1) != TIMERR_NOERROR);
    // A synchronous kill: once timeKillEvent returns, no callback runs.
    const UINT period = static_cast<UINT>(CSwimmerControlLoop::TickPeriod * 1000);
    TimerID = timeSetEvent(period, 0, TimerCallback, reinterpret_cast<DWORD_PTR>(this),
                           TIME_PERIODIC | TIME_KILL_SYNCHRONOUS);
    FATAL_CHECK(!TimerID);
}

CWin32Swimmer::~CWin32Swimmer()
{
    // Nothing the callback touches may go while it can still run; the kill
    // is synchronous (TIME_KILL_SYNCHRONOUS), so none runs once it returns.
    timeKillEvent(TimerID);
    timeEndPeriod(1);
    DeleteObject(hpenBlack);
    DeleteObject(hbrBlack);
    DeleteObject(hbrWhite);
    DeleteObject(hbrRed);
}

void CALLBACK CWin32Swimmer::TimerCallback(UINT, UINT, DWORD_PTR user, DWORD_PTR, DWORD_PTR)
{
    auto* window = reinterpret_cast<CWin32Swimmer*>(user);
    window->InTimerCallback.store(true);
    // This thread is the counter's only incrementer, so the test and the
    // increment need no lock between them.
    if (window->PendingTicks.load() < MaxPendingTicks) {
        ++window->PendingTicks;
        // A window destroyed by a frame switch refuses the message; it will
        // never be handled, so it is not outstanding.
        if (!PostMessageA(window->GetHwnd(), WM_TICK, 0, 0))
            --window->PendingTicks;
    }
    window->InTimerCallback.store(false);
}

void CWin32Swimmer::WaitForTimerCallback() const
{
    while (InTimerCallback.load())
        SwitchToThread();
}

LRESULT CWin32Swimmer::HandleMessage(HWND hwnd, UINT msg, WPARAM wParam, LPARAM lParam)
{
    switch (msg) {
    case WM_PAINT: {
        RECT update;
        if (GetUpdateRect(hwnd, &update, FALSE)) {
            PAINTSTRUCT paint;
            HDC hdc = BeginPaint(hwnd, &paint);
            Repaint(hdc);
            EndPaint(hwnd, &paint);
        }
        return 0;
    }
    case WM_LBUTTONDOWN:
        Loop.PressAt(LOWORD(lParam), HIWORD(lParam), GetClientSize());
        return 0;
    case WM_LBUTTONDBLCLK:
        return 0;  // not a frame switch: the first press of it set the direction
    case WM_TICK:
        Tick();
        ++TicksHandled;
        --PendingTicks;
        return 0;
    case WM_WINDOWCREATED:
        // A new window in a frame switch, already in hwndThis; the old one is
        // destroyed once the messages queued for it have moved over. A
        // callback that read the old handle must post before that move, or
        // its tick would be lost and counted forever: wait for any callback
        // under way. Callbacks that start later read the new handle.
        WaitForTimerCallback();
        break;
    }
    return CSubWindow::HandleMessage(hwnd, msg, wParam, lParam);
}

ClientSize CWin32Swimmer::GetClientSize() const
{
    RECT client = {};
    GetClientRect(GetHwnd(), &client);
    return {client.right - client.left, client.bottom - client.top};
}

void CWin32Swimmer::Draw(HDC hdc)
{
    CGdiCanvas canvas(hdc, hbrWhite, hbrBlack, hbrRed, hpenBlack);
    Picture.Draw(canvas, Loop, GetClientSize());
}

void CWin32Swimmer::Repaint(HDC hdc)
{
    Picture.DirtyWholeClient(GetClientSize());
    Draw(hdc);
}

// The picture goes straight into the window, with a device context fetched
// for the purpose.
void CWin32Swimmer::Tick()
{
    Loop.Tick(GetClientSize());
    const HWND hwnd = GetHwnd();
    HDC hdc = GetDC(hwnd);
    Draw(hdc);
    ReleaseDC(hwnd, hdc);
}
