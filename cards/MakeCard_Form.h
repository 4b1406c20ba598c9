#pragma once

#include "SpecialCard.h"

#include <QDialog>

#include <array>

class QCheckBox;
class QComboBox;
class QDateEdit;
class QLabel;
class QLineEdit;
class QPushButton;
class QTabWidget;
class QTimeEdit;
class TLanguage;

// Writes the special cards, one page per kind, with one shared write button
// and a status line for the outcome.
class TMakeCard_Form : public QDialog {
    Q_OBJECT
public:
    // page: the page to bring forward after opening (-1 keeps the first).
    explicit TMakeCard_Form(QWidget *parent = nullptr, int page = -1);

    // The controls every page but the time card's has, named with its suffix.
    struct Page {
        QWidget *sheet = nullptr;
        QLineEdit *holder = nullptr; // E_H_<suffix>
        QDateEdit *startDate = nullptr; // SD_<suffix>_Dtp
        QTimeEdit *startTime = nullptr; // ST_<suffix>_Dtp
        QDateEdit *endDate = nullptr; // ED_<suffix>_Dtp
        QTimeEdit *endTime = nullptr; // ET_<suffix>_Dtp
        QCheckBox *applyLoss = nullptr; // CB_eO_<suffix>
    };

    QTabWidget *PageControl1;
    QPushButton *Encode_Bt;
    QPushButton *BitBtn2;
    QLabel *Prompt_Label;
    QDateEdit *TimeCardDt_DTP = nullptr;
    QTimeEdit *TimeCardTm_DTP = nullptr;
    QComboBox *Buiding_CB;
    QComboBox *Buiding_Flc_CB;
    QComboBox *Floor_CB;
    QComboBox *District_CB;
    TLanguage *Language1 = nullptr;

public Q_SLOTS:
    void PageControl1Change();
    void Encode_BtClick();

private:
    void FormCreate();
    QWidget *buildPage(const SpecialCardKind &kind);
    void ShowPromptMessage(int16_t result);

    void MC_Time();
    void MC_Data();
    void MC_Chief();
    void MC_District();
    void MC_Building();
    void MC_Floor();
    void MC_LongOpen();
    void MC_Emergent();
    void MC_Lost();
    // The steps every maker shares, for the kind of the given page.
    void makeCard(int page);

    std::array<Page, SpecialCardKindCount> m_pages;
};
