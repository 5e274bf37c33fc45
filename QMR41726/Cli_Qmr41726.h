#pragma once
// The screen unit: the search screen TfrmPesquisa, the unit's variables and the entry point the
// host calls. The form's member functions are defined by the files that own each behaviour:
//   screen/ScreenSetup.cpp      construction, FormCreate, InicializaForm, PreparaPesquisa
//   screen/Search.cpp           Condicao, the search operations, dbgPesquisaTitleClick
//   screen/Navigation.cpp       row buttons, Confirm, Exit, the Enter button rule, key handlers of
//                               the grid and the filter box, FormClose
//   keyboard/KeyRouting.cpp     PostText, the key click handlers, FormKeyPress, FormKeyDown
// The layout tables, a library of their own that knows nothing of this class:
//   screen/ScreenLayout.h       the layout functions and the screen's colours
//   screen/ScreenLayout.cpp     the layout table of the screen (plates, grid, filter box, buttons)
//                               and the order the class declares the component fields in
//   keyboard/KeyLayout.cpp      the layout table of the on-screen keyboard

#include "screen/ScreenLayout.h"

#include <qmr41726/CriaTelaQmr41726.h>
#include <qmr41726/data/dataset/TClientDataSet.h>
#include <qmr41726/data/dataset/TDataSource.h>
#include <qmr41726/framework/TMessages.h>
#include <qmr41726/framework/controls/TBlendedBitBtn.h>
#include <qmr41726/framework/controls/TBlendedButton.h>
#include <qmr41726/framework/controls/TBlendedShape.h>
#include <qmr41726/framework/controls/TdxfColorButton.h>
#include <qmr41726/rtl/Variant.h>
#include <qmr41726/ui/controls/TEdit.h>
#include <qmr41726/ui/controls/TPanel.h>
#include <qmr41726/ui/controls/TTimer.h>
#include <qmr41726/ui/forms/Layout.h>
#include <qmr41726/ui/forms/TForm.h>
#include <qmr41726/ui/grid/TDBGrid.h>

#include <span>
#include <vector>

/// The parameter list a host passes: element 0 a data set's address, element 1 the flag.
using TParams = std::vector<qmr::Variant>;

/// What the package exports besides its entry point: the screen unit's interface, its class,
/// Condicao and the unit variables. Everything else in the package is hidden.
#define QMR41726_EXPORT __attribute__((visibility("default")))

/// The search screen: a grid over the caller's data set, the filter box, the row buttons and
/// the on-screen keyboard.
class QMR41726_EXPORT TfrmPesquisa : public qmr::TForm {
public:
    /// Creates the form from its layout and runs FormCreate.
    TfrmPesquisa();
    ~TfrmPesquisa() override;

    // Components, in declaration order; the layout loader points each at its component.
    qmr::TBlendedShape* blsBorda = nullptr;
    qmr::TBlendedShape* blsPesquisa = nullptr;
    qmr::TBlendedShape* blsKeyBoard = nullptr;
    qmr::TBlendedButton *sbt1 = nullptr, *sbt2 = nullptr, *sbt3 = nullptr, *sbt4 = nullptr, *sbt5 = nullptr,
                        *sbt6 = nullptr, *sbt7 = nullptr, *sbt8 = nullptr, *sbt9 = nullptr, *sbt0 = nullptr;
    qmr::TBlendedButton *sbtQ = nullptr, *sbtW = nullptr, *sbtE = nullptr, *sbtR = nullptr, *sbtT = nullptr,
                        *sbtY = nullptr, *sbtU = nullptr, *sbtI = nullptr, *sbtO = nullptr, *sbtP = nullptr;
    qmr::TBlendedButton *sbtL = nullptr, *sbtK = nullptr, *sbtVirgula = nullptr, *sbtPonto = nullptr,
                        *sbtBarra = nullptr, *sbtM = nullptr, *sbtJ = nullptr, *sbtN = nullptr,
                        *sbtG = nullptr, *sbtH = nullptr, *sbtB = nullptr, *sbtV = nullptr, *sbtF = nullptr,
                        *sbtD = nullptr, *sbtC = nullptr, *sbtX = nullptr, *sbtS = nullptr, *sbtA = nullptr,
                        *sbtZ = nullptr;
    qmr::TBlendedButton* sbtCCdil = nullptr;
    qmr::TBlendedButton* sbtEnter = nullptr;
    qmr::TBlendedButton* sbtContraBarra = nullptr;
    qmr::TBlendedBitBtn* sbtLimpar = nullptr;
    qmr::TBlendedButton* sbt_ = nullptr;
    qmr::TBlendedButton* sbtCapsLock = nullptr;
    qmr::TBlendedButton* sbtEspaco = nullptr;
    qmr::TBlendedButton* sbtShift = nullptr;
    qmr::TBlendedBitBtn* sbtSair = nullptr;
    qmr::TBlendedButton* sbtBackSpace = nullptr;
    qmr::TPanel* panGrid = nullptr;
    qmr::TDBGrid* dbgPesquisa = nullptr;
    qmr::TEdit* edtFiltro = nullptr;
    qmr::TDataSource* dtsPesquisa = nullptr;
    qmr::TMessages* msgPadrao = nullptr;
    qmr::TTimer* timDataHora = nullptr;
    qmr::TBlendedShape* BlendedShape1 = nullptr;
    qmr::TBlendedShape* BlendedShape2 = nullptr;
    qmr::TdxfColorButton* sbtUltimo = nullptr;
    qmr::TdxfColorButton* sbtRolarBaixo = nullptr;
    qmr::TdxfColorButton* sbtRolarCima = nullptr;
    qmr::TdxfColorButton* sbtPrimeiro = nullptr;

    // Published event handlers, bound by name from the layout.
    void FormCreate(qmr::TObject* Sender);
    void FormClose(qmr::TObject* Sender, qmr::TCloseAction& Action);
    void FormKeyDown(qmr::TObject* Sender, qmr::WORD& Key, qmr::TShiftState Shift);
    void FormKeyPress(qmr::TObject* Sender, char& Key);
    void dbgPesquisaKeyDown(qmr::TObject* Sender, qmr::WORD& Key, qmr::TShiftState Shift);
    void dbgPesquisaTitleClick(qmr::TColumn* Column);
    void edtFiltroKeyDown(qmr::TObject* Sender, qmr::WORD& Key, qmr::TShiftState Shift);
    void sbtPrimeiroClick(qmr::TObject* Sender);
    void sbtRolarCimaClick(qmr::TObject* Sender);
    void sbtRolarBaixoClick(qmr::TObject* Sender);
    void sbtUltimoClick(qmr::TObject* Sender);
    void sbt1Click(qmr::TObject* Sender);
    void spdCCdilClick(qmr::TObject* Sender);
    void sbtShiftClick(qmr::TObject* Sender);
    void sbtCapsLockClick(qmr::TObject* Sender);
    void sbtLimparClick(qmr::TObject* Sender);
    void sbtBackSpaceClick(qmr::TObject* Sender);
    void sbtEnterClick(qmr::TObject* Sender);
    void sbtSairClick(qmr::TObject* Sender);

    /// Takes the caller's parameters: the data set, the flag, the caption and the Shift press.
    void InicializaForm(TParams arParams);
    /// Binds the data set, gives it one index per visible field and picks the search column.
    void PreparaPesquisa(qmr::TDataSet* cdsPesquisa);

    // Search state (read by the entry point and by tests).
    bool boPesqOK = false;
    bool LockedUP = false;
    bool boShift = false;
    qmr::AnsiString stColunaPesq;
    qmr::AnsiString OriginalFilter;
    int inTamCampo = 0;
    /// The caller's data set; borrowed, never freed. May be a data set of any kind.
    qmr::TDataSet* cdsPesquisa = nullptr;

private:
    /// The form's published handlers and component fields, bound by name by the layout loader.
    std::vector<qmr::TPublishedEntry> published();

    // Search (screen/Search.cpp).
    qmr::AnsiString filterExpression(const qmr::AnsiString& searchText) const;
    void applyFilter(const qmr::AnsiString& expression);
    void searchAfterAppend();
    void clearSearch();
    void removeLastCharacter();

    // Confirmation (screen/Navigation.cpp).
    void applyEnterButtonRule();
    qmr::TDataSet* dataSet() const;

    // Keyboard (keyboard/KeyRouting.cpp).
    void PostText(const qmr::AnsiString& Texto, bool boReturn, bool boChar);
    void relabel(bool capitals);
    void exposeLetterCaseState();

    /// The tests' way to the private steps they check on their own (PostText).
    friend struct TfrmPesquisaTestAccess;
};

/// Returns stTrue when Teste holds, stFalse otherwise.
QMR41726_EXPORT qmr::AnsiString Condicao(bool Teste, const qmr::AnsiString& stTrue,
                                         const qmr::AnsiString& stFalse);

// Unit variables.
extern QMR41726_EXPORT TfrmPesquisa* frmPesquisa;
extern QMR41726_EXPORT qmr::AnsiString stFilter;
extern QMR41726_EXPORT qmr::AnsiString stColuna;

/// The unit's initialisation and finalisation, run by the package's Initialize and Finalize.
void initializeCliQmr41726();
void finalizeCliQmr41726();

/// The entry point: shows the search screen over arParams[0] and returns whether a row was chosen.
/// The parameter list is an open array: `arParams` points at `arParamsHigh + 1` variants. Hosts
/// call it through TCriaTelaQmr41726 (QMR41726/CriaTelaQmr41726.h).
extern "C" QMR41726_EXPORT bool CriaTelaQmr41726(const qmr::Variant* arParams, int arParamsHigh,
                                                 qmr::OleVariant& oleRetorno);
