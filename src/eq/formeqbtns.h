#pragma once

// The seven-band parametric EQ panel of the EQ page (`widgeteqbtn`): seven
// band rows built by its designer form, and the all-pass phase panel it owns.
// This class holds what the form and the displays stand on; the band editing
// itself (values, types, link groups, sending) builds on it.

#include <QWidget>

class FormPhase;
namespace Ui
{
class Formeqbtns;
}

class Formeqbtns : public QWidget
{
    Q_OBJECT
public:
    static constexpr int kBands = 7;

    explicit Formeqbtns(QWidget *parent = nullptr);
    ~Formeqbtns() override;

    Ui::Formeqbtns *form() const { return ui; }
    // The all-pass phase window: top-level, created once, shown on demand.
    FormPhase *phasepanel() const { return phase; }
    // Repaints the phase curve at once.
    void repaintphase();

public slots:
    // Bypass texts and the All Pass item in the interface language.
    void refreshLanText();

private:
    Ui::Formeqbtns *ui;
    FormPhase *phase;
};
