#pragma once

#include <QWidget>

class CFileVTF;
class QComboBox;
class QLabel;
class QLineEdit;

// Chooses the images an operation works on: inclusive ranges of mipmaps,
// frames, faces and slices of one texture, which it reads but does not own.
// Frame and face bounds are kept within the texture; slice bounds are not.
class VVTFImageRangeWidget : public QWidget
{
    Q_OBJECT

public:
    // The ranges are first limited to the texture and put in order.
    VVTFImageRangeWidget(CFileVTF *document, quint8 mipmapStart, quint8 mipmapEnd,
                         quint16 frameStart, quint16 frameEnd, quint8 faceStart, quint8 faceEnd,
                         quint16 sliceStart, quint16 sliceEnd);

    // One position instead of a range: the end controls keep their values
    // but are disabled, or hidden as well.
    void lockRangeEnd();
    void hideRangeEnd();

    int mipmapStart() const;
    int mipmapEnd() const;

    quint16 frameStart = 0;
    quint16 frameEnd = 0;
    quint8 faceStart = 0;
    quint8 faceEnd = 0;
    quint16 sliceStart = 0;
    quint16 sliceEnd = 0;

    QComboBox *mipmapStartBox = nullptr;
    QComboBox *mipmapEndBox = nullptr;
    QLineEdit *frameStartEdit = nullptr;
    QLineEdit *frameEndEdit = nullptr;
    QLineEdit *faceStartEdit = nullptr;
    QLineEdit *faceEndEdit = nullptr;
    QLineEdit *sliceStartEdit = nullptr;
    QLineEdit *sliceEndEdit = nullptr;

public slots:
    void mipmapStartChanged(int index);
    void mipmapEndChanged(int index);
    void frameStartChanged();
    void frameEndChanged();
    void faceStartChanged();
    void faceEndChanged();
    void sliceStartChanged();
    void sliceEndChanged();

private:
    // Parses the edit into the bound, lowered to `limit` when that is not
    // negative, and shows the stored value again.
    void editBound(QLineEdit *edit, int &bound, int limit);
    void editFrame(QLineEdit *edit, quint16 &bound);
    void editFace(QLineEdit *edit, quint8 &bound);
    void editSlice(QLineEdit *edit, quint16 &bound);

    CFileVTF *m_document = nullptr;
    QLabel *m_rowLabels[4] = {nullptr, nullptr, nullptr, nullptr};
    QLabel *m_toLabels[4] = {nullptr, nullptr, nullptr, nullptr};
    QWidget *m_ends[4] = {nullptr, nullptr, nullptr, nullptr};
};
