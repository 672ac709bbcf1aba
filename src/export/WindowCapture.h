#pragma once
// The one picture of a board window that both exports start from: the JPEG export takes one,
// a video recording one every eighth playback frame. It is rendered from the window's own
// widgets (frame and title included when the window sits in a sub-window), so it works
// offscreen, never shows a window lying over the board, and never yields to the event loop:
// nothing can happen between hiding what must not show and taking the picture.

#include <QImage>
#include <QList>

class QWidget;

namespace quorvel {

// The outer window of w: its MDI sub-window (frame and title bar) when it has one, else w.
QWidget *captureWindowOf(QWidget *w);

// The whole outer window of form at one image pixel per widget pixel (device-pixel ratio 1),
// as an RGB32 image; a null image when the window has no size.
QImage CaptureFormImage(QWidget *form);

// CaptureFormImage with the given controls hidden for the picture only; each gets its own
// visibility back before the call returns.
QImage CaptureFormImageWithout(QWidget *form, const QList<QWidget *> &hidden);

} // namespace quorvel
