#pragma once
// The whiteboard's pictures, drawn by the program itself: the sixteen dancers
// (men square, women round, a nose showing the facing, the number upright
// on the body) and the images of the play and go controls.

#include <QImage>
#include <QString>

// The bitmap of a dancer as designed: 90 x 90 facing up, or the diagonal one
// ("D") 86 x 86 facing up and right. Transparent around the figure; the
// number is not on it.
QImage DancerBitmap(int number, bool diagonal);

// The dancer drawn at a facing (0 to 7): the bitmap for the facing's parity
// turned a quarter turn clockwise facing div 2 times, with the number put on
// upright. Kept once made.
const QImage &DancerImage(int number, int facing);

// The control images: "Play", "PlayAll", "Stop", "NoStop", "GoFirst",
// "GoPrev", "GoNext", "GoLast" (28 x 28); an unknown name gives a null image.
QImage ControlImage(const QString &name);
