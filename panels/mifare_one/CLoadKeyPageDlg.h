// "Load key": loads one key per sector row into the reader's key store.
#pragma once

#include "panels/mifare_one/CMifarePage.h"
#include "reader/QvdLibrary.h"
#include "ui/FieldBinding.h"

class CBlueStatic;
class QComboBox;
class QLineEdit;
class QListWidget;
class QPushButton;
class QRadioButton;

class CLoadKeyPageDlg : public CMifarePage
{
    Q_OBJECT
public:
    explicit CLoadKeyPageDlg(QWidget *parent = nullptr);

    void opening() override;

    static constexpr int kRows = 16;
    static const char *const kPresets[3];

private:
    void buildControls();
    void bindFields();
    void connectHandlers();

    void fillKeyList(const QString &key);
    void choosePreset(int preset);
    void onChangeCurrentValue();
    void onLoadKey();

    qvd::LibraryRef lib_ = qvd::Library::load();
    QVD_ENTRY(lib_, a_hex);
    QVD_ENTRY(lib_, rz_load_key);

    QString presetText_;
    QString editText_ = QStringLiteral("3A7C19E45B20");
    int keySetIndex_ = 0;

    CBlueStatic *rowLabels_ = nullptr;
    QListWidget *keyList_ = nullptr;
    QRadioButton *keyA_ = nullptr;
    QRadioButton *keyB_ = nullptr;
    QComboBox *keySet_ = nullptr;
    QLineEdit *currentValue_ = nullptr;
    QPushButton *changeButton_ = nullptr;
    QPushButton *loadButton_ = nullptr;
    QPushButton *presetButtons_[3] = {};
    t7::FieldBinder fields_;
};
