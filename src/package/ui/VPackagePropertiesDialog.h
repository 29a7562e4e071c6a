#pragma once

#include "CPackageProperties.h"

#include <QDialog>

class QFrame;
class QGroupBox;
class QLabel;

// The package viewer's modal properties dialog: a caption and a value per
// row of CPackageProperties, in two blocks split by a line. Built once with
// the viewer and filled anew for each request.
class VPackagePropertiesDialog : public QDialog
{
    Q_OBJECT

public:
    explicit VPackagePropertiesDialog(QWidget *parent);

    // Fills the rows from the properties (showing and hiding rows only when
    // the set of visible rows changes: that moves the dialog's geometry).
    void fill(const CPackageProperties &properties);

    QLabel *caption(CPackageProperties::Row row) const { return m_captions[row]; }
    QLabel *value(CPackageProperties::Row row) const { return m_values[row]; }
    QFrame *line() const { return m_line; }
    QGroupBox *groupBox() const { return m_group; }

private:
    QGroupBox *m_group = nullptr;
    QFrame *m_line = nullptr;
    QLabel *m_captions[CPackageProperties::RowCount] = {};
    QLabel *m_values[CPackageProperties::RowCount] = {};
    bool m_shown[CPackageProperties::RowCount] = {};
    bool m_lineShown = true;
    bool m_layoutSet = false;
};
