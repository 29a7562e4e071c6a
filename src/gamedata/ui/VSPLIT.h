#pragma once

#include <QWidget>

// The map editor's splitter and draw-distance settings. The registry values
// arrive with the game-data editors.
class VSPLIT : public QWidget
{
    Q_OBJECT

public:
    VSPLIT();
    ~VSPLIT() override;
};
