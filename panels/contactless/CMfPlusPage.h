// What the four Mifare Plus level pages share: the card object, the panel's
// result list as the log, and the checks of key and key-number fields, each
// failure logged as its fixed line before any reader call.
#pragma once

#include "panels/contactless/CMfPlusCard.h"

#include <QWidget>

#include <functional>
#include <optional>

class QLineEdit;
class QPushButton;

class CMfPlusPage : public QWidget
{
    Q_OBJECT
public:
    using Log = std::function<void(const QString &line)>;
    CMfPlusPage(CMfPlusCard &card, Log log, QWidget *parent = nullptr);

protected:
    static constexpr int kKeyDigits = 32;
    static constexpr int kNumberDigits = 4;

    CMfPlusCard &card() { return card_; }
    void log(const QString &line) { log_(line); }
    // " operation success!" on 0, " operation failed!" otherwise.
    void logOutcome(int result);
    // The field's 16 bytes; nothing, after logging why, when it holds fewer
    // than 32 characters or no hex.
    std::optional<QByteArray> keyFrom(const QLineEdit *field,
                                      const QString &formatError = QStringLiteral("Key Input Format Error!"));
    // The field's four hex digits as a number; nothing after logging why.
    std::optional<unsigned short> numberFrom(const QLineEdit *field);

    QLineEdit *keyField(const char *name, const QString &accessibleName);
    QLineEdit *numberField(const char *name, const QString &accessibleName);

private:
    CMfPlusCard &card_;
    Log log_;
};
