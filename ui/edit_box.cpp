#include "ui/edit_box.h"

namespace {

WNDPROC platformEditProc;

HFONT FontOfWindow(HWND window) {
  return reinterpret_cast<HFONT>(SendMessageA(window, WM_GETFONT, 0, 0));
}

// The editing area is one line high and centred in the box's inside.
void CentreEditingArea(HWND edit, RECT* inside) {
  const int lineHeight = TextHeight(edit, FontOfWindow(edit), "W");
  const int room = inside->bottom - inside->top;
  if (lineHeight <= 0 || lineHeight >= room) return;
  inside->top += (room - lineHeight) / 2;
  inside->bottom = inside->top + lineHeight;
}

// The bands above and below the editing area take the box's background.
void PaintBands(HWND edit) {
  RECT window, client;
  GetWindowRect(edit, &window);
  GetClientRect(edit, &client);
  MapWindowPoints(edit, nullptr, reinterpret_cast<POINT*>(&client), 2);
  OffsetRect(&client, -window.left, -window.top);
  OffsetRect(&window, -window.left, -window.top);
  const int border = (GetWindowLongA(edit, GWL_STYLE) & WS_BORDER) ? 1 : 0;
  InflateRect(&window, -border * GetSystemMetrics(SM_CXBORDER),
              -border * GetSystemMetrics(SM_CYBORDER));
  HDC dc = GetWindowDC(edit);
  if (dc == nullptr) return;
  // The box's own background, as WM_CTLCOLOREDIT gives it to the text.
  HBRUSH brush = reinterpret_cast<HBRUSH>(SendMessageA(GetParent(edit), WM_CTLCOLOREDIT,
                                                       reinterpret_cast<WPARAM>(dc),
                                                       reinterpret_cast<LPARAM>(edit)));
  if (brush == nullptr) brush = GetSysColorBrush(COLOR_WINDOW);
  ExcludeClipRect(dc, client.left, client.top, client.right, client.bottom);
  FillRect(dc, &window, brush);
  ReleaseDC(edit, dc);
}

// The box grows to the height of 吴 plus two edges when shorter; its top and width stay.
void KeepLeastHeight(HWND edit) {
  const int least = TextHeight(edit, FontOfWindow(edit), "吴") + 2 * GetSystemMetrics(SM_CYEDGE);
  RECT box;
  GetWindowRect(edit, &box);
  if (box.bottom - box.top >= least) return;
  SetWindowPos(edit, nullptr, 0, 0, box.right - box.left, least,
               SWP_NOMOVE | SWP_NOZORDER | SWP_NOACTIVATE);
}

void RecomputeFrame(HWND edit) {
  SetWindowPos(edit, nullptr, 0, 0, 0, 0,
               SWP_NOMOVE | SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE | SWP_FRAMECHANGED);
}

LRESULT CALLBACK CentredEditProc(HWND edit, UINT message, WPARAM wParam, LPARAM lParam) {
  switch (message) {
    case WM_NCCALCSIZE: {
      const LRESULT result = CallWindowProcA(platformEditProc, edit, message, wParam, lParam);
      RECT* inside = wParam ? &reinterpret_cast<NCCALCSIZE_PARAMS*>(lParam)->rgrc[0]
                            : reinterpret_cast<RECT*>(lParam);
      CentreEditingArea(edit, inside);
      return result;
    }
    case WM_NCPAINT:
      CallWindowProcA(platformEditProc, edit, message, wParam, lParam);
      PaintBands(edit);
      return 0;
    case WM_NCHITTEST: {
      // A click in the bands places the caret like one on the text line.
      const LRESULT hit = CallWindowProcA(platformEditProc, edit, message, wParam, lParam);
      return hit == HTNOWHERE ? HTCLIENT : hit;
    }
    case WM_SETFONT: {
      const LRESULT result = CallWindowProcA(platformEditProc, edit, message, wParam, lParam);
      KeepLeastHeight(edit);
      RecomputeFrame(edit);
      return result;
    }
  }
  return CallWindowProcA(platformEditProc, edit, message, wParam, lParam);
}

}  // namespace

int TextHeight(HWND window, HFONT font, const char* text) {
  HDC dc = GetDC(window);
  if (dc == nullptr) return 0;
  const HGDIOBJ previous = font ? SelectObject(dc, font) : nullptr;
  SIZE size = {};
  GetTextExtentPoint32A(dc, text, lstrlenA(text), &size);
  if (previous) SelectObject(dc, previous);
  ReleaseDC(window, dc);
  return size.cy;
}

void DressEditBox(HWND edit, HFONT font, bool framed) {
  platformEditProc = reinterpret_cast<WNDPROC>(
      SetWindowLongPtrA(edit, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(CentredEditProc)));
  // Set after creation, the border is non-client frame; the font below
  // recomputes the frame.
  if (framed) SetWindowLongA(edit, GWL_STYLE, GetWindowLongA(edit, GWL_STYLE) | WS_BORDER);
  // No limit of its own: the platform's largest for a one-line box.
  SendMessageA(edit, EM_SETLIMITTEXT, 0, 0);
  SendMessageA(edit, WM_SETFONT, reinterpret_cast<WPARAM>(font), FALSE);
}
