#pragma once

#include <QWidget>

class TVeidora : public QWidget {
    Q_OBJECT
public:
    explicit TVeidora(QWidget* parent = nullptr);
};
