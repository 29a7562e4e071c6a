#pragma once

#include <QWidget>

// The bulk texture converter; conversion arrives with the texture tools.
class VTFMass : public QWidget
{
    Q_OBJECT

public:
    VTFMass();
    ~VTFMass() override;
};
