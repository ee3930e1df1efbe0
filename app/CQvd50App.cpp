#include "app/CQvd50App.h"

#include "app/ArrowIconStyle.h"
#include "app/CMainFrame.h"
#include "app/Icons.h"
#include "reader/CardSerial.h"
#include "reader/QvdLibrary.h"
#include "ui/DialogLook.h"
#include "ui/MessageSeam.h"

const char *const CQvd50App::kTitle = "KORVANE T7 IC-CARD Reader Software";

CQvd50App::CQvd50App(int &argc, char **argv) : QApplication(argc, argv)
{
    setApplicationName(QStringLiteral("T7Demo"));
}

CQvd50App::~CQvd50App()
{
    frame_.reset();
    qvd::setFailureReporter(nullptr);
}

bool CQvd50App::InitInstance()
{
    setStyle(new ArrowIconStyle); // the application owns its style
    t7::applyDialogLook(*this);
    setWindowIcon(t7::icon(t7::IconId::Application));
    installLoadFailureBox();

    frame_ = std::make_unique<CMainFrame>();
    frame_->setWindowTitle(QString::fromLatin1(kTitle));
    frame_->showMaximized();
    return true;
}

void CQvd50App::installLoadFailureBox()
{
    qvd::setFailureReporter([](const std::string &message) { t7::appBox(QString::fromStdString(message)); });
}

QString CQvd50App::GetCardSerial(int deviceHandle, unsigned int &serial)
{
    return t7::GetCardSerial(deviceHandle, serial);
}
