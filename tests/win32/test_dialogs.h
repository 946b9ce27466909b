// Dialog resources of the layer's test program and a dialog procedure that
// records what it is sent.
#pragma once

#include <functional>
#include <vector>

#include "platform/win32.h"

// Dialogs of the test program (the main program's own module).
constexpr int kChildDialog = 300;        // WS_CHILD: label 10, combo box 11, trackbar 12
constexpr int kPopupDialog = 301;        // no WS_CHILD: needs no parent
constexpr int kUnknownClassDialog = 302;  // has a control of a class the layer lacks
constexpr int kWrongVersionDialog = 400;
constexpr int kShortRecordDialog = 401;  // claims more controls than it holds
constexpr int kNotADialog = 402;         // the number exists, as another kind

constexpr int kLabelId = 10;
constexpr int kComboId = 11;
constexpr int kTrackbarId = 12;

struct SentMessage {
  HWND window;
  UINT message;
  WPARAM wParam;
  LPARAM lParam;
};

// Everything RecordingProc received, and what it does besides recording.
std::vector<SentMessage>& Received();
std::function<INT_PTR(HWND, UINT, WPARAM, LPARAM)>& OnMessage();
INT_PTR RecordingProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam);
void ResetRecording();

// The messages received with this number.
std::vector<SentMessage> ReceivedOf(UINT message);

// A top-level "STATIC" window, as a host creates for a parent.
HWND MakeTopLevel();
