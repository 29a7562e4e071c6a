#pragma once

#include <QByteArray>
#include <QVector>
#include <QtGlobal>

// The spheremap of a cube map: the cube as seen reflected in a mirror ball
// looked at along -z.
//
// `faces` holds the six cube faces in the stored order (Right, Left, Back,
// Front, Up, Down), each width x height RGBA8888. The result is width x height
// RGBA8888, opaque; outside the ball it takes the mean colour of the Down face.
// Each pixel averages four samples at random positions inside it, drawn from a
// generator seeded with `seed` (so a texture renders the same every time).
// Empty when a face is missing or smaller than its sides say.
QByteArray vtfSpheremap(const QVector<QByteArray> &faces, int width, int height, quint32 seed = 1);
