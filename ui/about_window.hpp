#pragma once

#include "product.hpp"

#include <QWidget>

class QLabel;
class QPlainTextEdit;
class QToolButton;
class TClickImage;

// The About window: name, version, purpose, author, contact and three links. Closing it
// only hides it, so the next "Apie" shows the same window. The window exists from start-up;
// what it holds is built when it is first shown, as nothing reads it before.
class TApie : public QWidget {
    Q_OBJECT
public:
    explicit TApie(QWidget* owner = nullptr);

    void SpeedButton1Click();
    void SpeedButton2Click();
    void Image2Click();

    void setVisible(bool visible) override;

protected:
    void resizeEvent(QResizeEvent* event) override;

private:
    void buildContents();
    void layoutPanels();

    QWidget* Panel1 = nullptr;
    QWidget* Panel2 = nullptr;
    QWidget* Rectangle1 = nullptr;
    QWidget* Rectangle2 = nullptr;
    QLabel* Label1 = nullptr;
    QLabel* Label2 = nullptr;
    QLabel* Label3 = nullptr;
    QLabel* Label4 = nullptr;
    QPlainTextEdit* Memo1 = nullptr;
    TClickImage* Image1 = nullptr;
    TClickImage* Image2 = nullptr;
    QToolButton* SpeedButton1 = nullptr;
    QToolButton* SpeedButton2 = nullptr;
};
