// The application object: start-up and the card-finding operation panels use.
#pragma once

#include <QApplication>

#include <memory>

class CMainFrame;

class CQvd50App : public QApplication
{
    Q_OBJECT
public:
    CQvd50App(int &argc, char **argv);
    ~CQvd50App() override;

    // Creates and shows the main window; false ends the program.
    bool InitInstance();

    CMainFrame *mainFrame() const { return frame_.get(); }

    // The serial of the contactless card in the field: 8 or 16 upper-case
    // hexadecimal digits, "" when no card answered.
    static QString GetCardSerial(int deviceHandle, unsigned int &serial);

    // The reader library's one-time load failures go to the application box.
    static void installLoadFailureBox();

    static const char *const kTitle;

private:
    std::unique_ptr<CMainFrame> frame_;
};
