// "Ultralight CARD": the sixteen 4-byte pages of an Ultralight card in a grid
// the dialog paints itself, edited a nibble at a time from the keyboard, with
// pages 3 to 15 written back in one go.
#pragma once

#include "reader/QvdLibrary.h"

#include <QDialog>
#include <QRect>

#include <array>
#include <cstdint>

class QLabel;
class QPainter;
class QPushButton;

class CUltralightDlg : public QDialog
{
    Q_OBJECT
public:
    static constexpr int kPages = 16;
    static constexpr int kBytesPerPage = 4;
    // The grid's measures, in pixels.
    static constexpr int kRowHeight = 20;
    static constexpr int kCellSize = 20;
    static constexpr int kCaretWidth = 8;
    static constexpr int kCaretHeight = 13;
    static constexpr int kNibbleOffset = 8;

    explicit CUltralightDlg(QWidget *parent = nullptr);

    // The handlers, as the buttons run them.
    void onFindCard();
    void onReadCard();
    void onWriteCard();
    void onHalt();

    uint8_t pageByte(int page, int byte) const { return image_[static_cast<size_t>(page * kBytesPerPage + byte)]; }
    void setPageByte(int page, int byte, uint8_t value);
    QRect cellRect(int page, int byte) const { return cells_[static_cast<size_t>(page * kBytesPerPage + byte)]; }
    // -1 until a cell was double-clicked.
    int currentPage() const { return page_; }
    int currentByte() const { return byte_; }
    bool lowNibble() const { return lowNibble_; }
    bool caretShown() const { return caretShown_; }
    // Where the caret stands (meaningful while it is shown).
    QRect caretRect() const;
    QString statusText() const;

    static bool isEditable(int page, int byte);

protected:
    void showEvent(QShowEvent *event) override;
    void paintEvent(QPaintEvent *event) override;
    void mouseDoubleClickEvent(QMouseEvent *event) override;
    bool eventFilter(QObject *watched, QEvent *event) override;

private:
    void buildLayout();
    void layOutCells();
    void readPages();
    bool selectCard();
    void setStatus(const QString &text);

    // The grid's keys; false for a key the grid does not take.
    bool takeGridKey(int key, Qt::KeyboardModifiers modifiers);
    void moveLeft();
    void moveRight();
    void moveUp();
    void moveDown();
    void typeDigit(char digit);
    void placeCaret();

    void paintFrames(QPainter &painter) const;
    void paintLabels(QPainter &painter) const;
    void paintCells(QPainter &painter) const;
    void paintCaret(QPainter &painter) const;

    qvd::LibraryRef lib_ = qvd::Library::load();
    QVD_ENTRY(lib_, rz_request_ultralt);
    QVD_ENTRY(lib_, rz_anticall_ultralt);
    QVD_ENTRY(lib_, rz_select_ultralt);
    QVD_ENTRY(lib_, rz_read_ultralt);
    QVD_ENTRY(lib_, rz_write_ultralt);
    QVD_ENTRY(lib_, rz_halt_ultralt);
    QVD_ENTRY(lib_, hex_a);

    std::array<uint8_t, kPages * kBytesPerPage> image_{};
    std::array<QRect, kPages * kBytesPerPage> cells_{};
    int page_ = -1;
    int byte_ = -1;
    bool lowNibble_ = false;
    bool caretShown_ = false;
    bool opened_ = false;

    QPushButton *find_ = nullptr;
    QPushButton *read_ = nullptr;
    QPushButton *write_ = nullptr;
    QPushButton *halt_ = nullptr;
    QPushButton *exit_ = nullptr;
    QLabel *status_ = nullptr;
};
