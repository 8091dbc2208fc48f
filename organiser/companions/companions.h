#pragma once
// Starting, raising and closing the companion programs: the clipboard viewer, Paint and
// the capture saver.

namespace tarvo {

class Organiser;

// DspClip_com "画像表示": start the viewer, or close the one the organiser started.
void ToggleClipboardViewer(Organiser& org);
// Activates the viewer and sends it the closing keys; false when the viewer is not found.
bool CloseClipboardViewer(Organiser& org, bool wait);
// After a thumbnail click: brings the viewer to the front when ClipboardViewerOpen = 1;
// false when that fails.
bool RaiseClipboardViewer(Organiser& org);
// A click on the mirok icon.
void StartCaptureSaver(Organiser& org);
// The Paint button.
void StartPaint(Organiser& org);

} // namespace tarvo
