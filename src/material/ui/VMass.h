#pragma once

#include <QSplitter>

// The bulk material editor; editing arrives with the material tools.
class VMass : public QSplitter
{
    Q_OBJECT

public:
    explicit VMass(QWidget *parent = nullptr);
    ~VMass() override;
};
