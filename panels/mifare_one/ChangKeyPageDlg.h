// "Update Key": rewrites a sector trailer (key A, Control Word, key B).
#pragma once

#include "panels/mifare_one/CMifarePage.h"
#include "reader/QvdLibrary.h"
#include "ui/FieldBinding.h"

class CHexEdit;
class QComboBox;
class QLabel;
class QPushButton;

class ChangKeyPageDlg : public CMifarePage
{
    Q_OBJECT
public:
    // Requests the card, so the card on the reader decides the sheet's S50 or S70 form.
    explicit ChangKeyPageDlg(QWidget *parent = nullptr);

    void opening() override;

    static constexpr const char *kDefaultKey = "3A7C19E45B20";

private:
    void buildControls();
    void connectHandlers();
    void requestCard();

    void onSectorChosen(int index);
    void onUpdate();
    void onChangeWord();
    // Beside the Control Word: what it lets each key do, as typed.
    void showAccessConditions();
    // A Control Word that would lock the sector is sent only after a second Yes.
    bool confirmLockingControlWord(const unsigned char *controlWord, int sector);

    bool readTrailer(int sector, unsigned char *data);
    // "enter<field>The median is not enough!" when text is shorter than length.
    static bool refuseShort(const QString &text, int length, const QString &field);
    bool findAndAuthenticate(int sector);

    qvd::LibraryRef lib_ = qvd::Library::load();
    QVD_ENTRY(lib_, rz_request);
    QVD_ENTRY(lib_, rz_card);
    QVD_ENTRY(lib_, rz_authentication);
    QVD_ENTRY(lib_, rz_read);
    QVD_ENTRY(lib_, rz_read_S70);
    QVD_ENTRY(lib_, rz_changeb3);
    QVD_ENTRY(lib_, rz_halt);

    QString keyAText_;
    QString keyBText_;
    QString controlWordText_;
    int sector_ = 0;

    QLabel *sectorLabel_ = nullptr;
    QComboBox *sectorList_ = nullptr;
    QLabel *keyALabel_ = nullptr;
    CHexEdit *keyAEdit_ = nullptr;
    QLabel *keyBLabel_ = nullptr;
    CHexEdit *keyBEdit_ = nullptr;
    QLabel *controlWordLabel_ = nullptr;
    CHexEdit *controlWordEdit_ = nullptr;
    QPushButton *updateButton_ = nullptr;
    QPushButton *changeWordButton_ = nullptr;
    QLabel *accessConditions_ = nullptr;
    t7::FieldBinder fields_;
};
