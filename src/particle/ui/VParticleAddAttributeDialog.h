#pragma once

#include <QDialog>

class DMXAttribute;
class QComboBox;
class QGridLayout;
class QLabel;
class QLineEdit;
class QPushButton;

// Asks for the name and type of a new attribute. Element types are not
// offered: an element is added through its list, not as a loose attribute.
class VParticleAddAttributeDialog : public QDialog
{
    Q_OBJECT

public:
    explicit VParticleAddAttributeDialog(QWidget *parent);

    // Runs the dialog; a new owning attribute of the entered name and chosen
    // type holding the type's default value, or null when cancelled. The
    // caller owns the result.
    DMXAttribute *getAttribute();

    QGridLayout *layout = nullptr;
    QLabel *nameLabel = nullptr;
    QLabel *typeLabel = nullptr;
    QLineEdit *nameEdit = nullptr;
    QComboBox *typeCombo = nullptr;
    QPushButton *okButton = nullptr;
    QPushButton *cancelButton = nullptr;

protected slots:
    // Accepts only with a name.
    void acceptCheck();
};
