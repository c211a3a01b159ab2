#pragma once

// The device tab bar: the narrow strip at the left edge of the main window
// with one button per used device slot (at most thirteen). A click makes that
// slot's processor the current one: the controller takes the type and address
// read back from the slot text, and the main window learns the slot index.
// The bar keeps no model: used flags and slot texts live in the controller.

#include <QString>
#include <QWidget>

class QPushButton;
class Ui_FormChTool;

class FormChTool : public QWidget
{
    Q_OBJECT
public:
    static constexpr int kSlots = 13;

    explicit FormChTool(QWidget *parent = nullptr);
    ~FormChTool() override;

    // --- Slot text: type word, a colon, the address as two hex digits -------
    // "4IN8OUT:0a" for type 24 at address 10; empty for an unknown type.
    static QString slottext(uchar type, uchar addr);
    // The type code (24, 22, 20) of the text's first seven characters, or 0
    // when they name no type (compared case-sensitively).
    static uchar slottype(const QString &text);
    // Reads the text's last two characters as one hex byte into addr; false
    // (addr untouched) when they do not make a byte.
    static bool slotaddress(const QString &text, uchar &addr);

    // Own style sheets of the buttons: the last clicked one has black text,
    // every other one white.
    static const char *const kNormalText;  // "color: rgb(255, 255, 255);"
    static const char *const kCurrentText; // "color: rgb(0, 0, 0);"

    // The button of slot k (0..12), or null.
    QPushButton *slotbutton(int k) const;

    // Gives every button the white text colour.
    void resetguibtns();
    void hideguibtns();
    // Shows the button of slot k with the controller's slot text.
    void showguibtns(int k);
    // Checks the button of slot k and runs its click from code.
    void selectguibtn(int k);
    // No slot chosen: every button unchecked, with the white text colour.
    void forgetchoice();

signals:
    // Declared for the main window's connection; the bar never emits it.
    void startgui();
    // Slot index 0..12 of the button just clicked.
    void sendbntnum(int k);

public slots:
    // The slots changed: shows the button of every used slot and hides the
    // others. The argument is not used.
    void refreshguibtns(int btnnums);

    void on_btnleft910_clicked();
    void on_btnleft720_clicked();
    void on_btnleft720_2_clicked();
    void on_btnleft910_2_clicked();
    void on_btnleft910_3_clicked();
    void on_btnleft910_4_clicked();
    void on_btnleft910_5_clicked();
    void on_btnleft910_6_clicked();
    void on_btnleft910_7_clicked();
    void on_btnleft910_8_clicked();
    void on_btnleft910_9_clicked();
    void on_btnleft910_10_clicked();
    void on_btnleft910_11_clicked();

private:
    void clickslot(int k);

    Ui_FormChTool *ui;
    QPushButton *buttons[kSlots];
};
