#pragma once

#include <QUrl>
#include <QWidget>

class QLabel;
class QPlainTextEdit;
class QToolButton;
class TClickImage;

namespace veidora::ui {
inline constexpr const char* kSiteHost = "veidora.example";
inline constexpr const char* kForumHost = "forumas.veidora.example";
inline const QUrl kSiteUrl{QStringLiteral("https://veidora.example/")};
inline const QUrl kForumUrl{QStringLiteral("https://forumas.veidora.example/")};
inline const QUrl kSocialUrl{QStringLiteral("https://social.example/veidora")};
inline constexpr const char* kAuthor = "Veidoros komanda";
inline constexpr const char* kContact = "info@veidora.example";
} // namespace veidora::ui

// The About window: name, version, purpose, author, contact and three links. Closing it
// only hides it, so the next "Apie" shows the same window.
class TApie : public QWidget {
    Q_OBJECT
public:
    explicit TApie(QWidget* owner = nullptr);

    void SpeedButton1Click();
    void SpeedButton2Click();
    void Image2Click();

protected:
    void resizeEvent(QResizeEvent* event) override;

private:
    QWidget* Panel1;
    QWidget* Panel2;
    QWidget* Rectangle1;
    QWidget* Rectangle2;
    QLabel* Label1;
    QLabel* Label2;
    QLabel* Label3;
    QLabel* Label4;
    QPlainTextEdit* Memo1;
    TClickImage* Image1;
    TClickImage* Image2;
    QToolButton* SpeedButton1;
    QToolButton* SpeedButton2;
};
