#pragma once
// The screen unit: the search screen TfrmPesquisa, the unit's variables and the entry point the
// host calls. The form's member functions are defined by the files that own each behaviour:
//   screen/ScreenSetup.cpp      construction, FormCreate, InicializaForm, PreparaPesquisa
//   screen/ScreenLayout.cpp     the layout table of the screen (plates, grid, filter box, buttons)
//   screen/Search.cpp           Condicao, the search operations, dbgPesquisaTitleClick
//   screen/Navigation.cpp       row buttons, Confirm, Exit, the Enter button rule, key handlers of
//                               the grid and the filter box, FormClose
//   keyboard/KeyLayout.cpp      the layout table of the on-screen keyboard
//   keyboard/KeyRouting.cpp     PostText, the key click handlers, FormKeyPress, FormKeyDown

#include "host/data/TClientDataSet.h"
#include "host/data/TDataSource.h"
#include "host/framework/TBlendedBitBtn.h"
#include "host/framework/TBlendedButton.h"
#include "host/framework/TBlendedShape.h"
#include "host/framework/TMessages.h"
#include "host/framework/TdxfColorButton.h"
#include "host/rtl/Variant.h"
#include "host/ui/Layout.h"
#include "host/ui/TDBGrid.h"
#include "host/ui/TEdit.h"
#include "host/ui/TForm.h"
#include "host/ui/TPanel.h"
#include "host/ui/TTimer.h"

#include <span>
#include <vector>

/// The parameter list a host passes: element 0 a data set's address, element 1 the flag.
using TParams = std::vector<Variant>;

/// The search screen: a grid over the caller's data set, the filter box, the row buttons and
/// the on-screen keyboard.
class TfrmPesquisa : public TForm {
public:
    /// Creates the form from its layout and runs FormCreate.
    TfrmPesquisa();
    ~TfrmPesquisa() override;

    // Components, in declaration order.
    TBlendedShape* blsBorda = nullptr;
    TBlendedShape* blsPesquisa = nullptr;
    TBlendedShape* blsKeyBoard = nullptr;
    TBlendedButton *sbt1 = nullptr, *sbt2 = nullptr, *sbt3 = nullptr, *sbt4 = nullptr, *sbt5 = nullptr,
                   *sbt6 = nullptr, *sbt7 = nullptr, *sbt8 = nullptr, *sbt9 = nullptr, *sbt0 = nullptr;
    TBlendedButton *sbtQ = nullptr, *sbtW = nullptr, *sbtE = nullptr, *sbtR = nullptr, *sbtT = nullptr,
                   *sbtY = nullptr, *sbtU = nullptr, *sbtI = nullptr, *sbtO = nullptr, *sbtP = nullptr;
    TBlendedButton *sbtL = nullptr, *sbtK = nullptr, *sbtVirgula = nullptr, *sbtPonto = nullptr,
                   *sbtBarra = nullptr, *sbtM = nullptr, *sbtJ = nullptr, *sbtN = nullptr, *sbtG = nullptr,
                   *sbtH = nullptr, *sbtB = nullptr, *sbtV = nullptr, *sbtF = nullptr, *sbtD = nullptr,
                   *sbtC = nullptr, *sbtX = nullptr, *sbtS = nullptr, *sbtA = nullptr, *sbtZ = nullptr;
    TBlendedButton* sbtCCdil = nullptr;
    TBlendedButton* sbtEnter = nullptr;
    TBlendedButton* sbtContraBarra = nullptr;
    TBlendedBitBtn* sbtLimpar = nullptr;
    TBlendedButton* sbt_ = nullptr;
    TBlendedButton* sbtCapsLock = nullptr;
    TBlendedButton* sbtEspaco = nullptr;
    TBlendedButton* sbtShift = nullptr;
    TBlendedBitBtn* sbtSair = nullptr;
    TBlendedButton* sbtBackSpace = nullptr;
    TPanel* panGrid = nullptr;
    TDBGrid* dbgPesquisa = nullptr;
    TEdit* edtFiltro = nullptr;
    TDataSource* dtsPesquisa = nullptr;
    TMessages* msgPadrao = nullptr;
    TTimer* timDataHora = nullptr;
    TBlendedShape* BlendedShape1 = nullptr;
    TBlendedShape* BlendedShape2 = nullptr;
    TdxfColorButton* sbtUltimo = nullptr;
    TdxfColorButton* sbtRolarBaixo = nullptr;
    TdxfColorButton* sbtRolarCima = nullptr;
    TdxfColorButton* sbtPrimeiro = nullptr;

    // Published event handlers, bound by name from the layout.
    void FormCreate(TObject* Sender);
    void FormClose(TObject* Sender, TCloseAction& Action);
    void FormKeyDown(TObject* Sender, WORD& Key, TShiftState Shift);
    void FormKeyPress(TObject* Sender, char& Key);
    void dbgPesquisaKeyDown(TObject* Sender, WORD& Key, TShiftState Shift);
    void dbgPesquisaTitleClick(TColumn* Column);
    void edtFiltroKeyDown(TObject* Sender, WORD& Key, TShiftState Shift);
    void sbtPrimeiroClick(TObject* Sender);
    void sbtRolarCimaClick(TObject* Sender);
    void sbtRolarBaixoClick(TObject* Sender);
    void sbtUltimoClick(TObject* Sender);
    void sbt1Click(TObject* Sender);
    void spdCCdilClick(TObject* Sender);
    void sbtShiftClick(TObject* Sender);
    void sbtCapsLockClick(TObject* Sender);
    void sbtLimparClick(TObject* Sender);
    void sbtBackSpaceClick(TObject* Sender);
    void sbtEnterClick(TObject* Sender);
    void sbtSairClick(TObject* Sender);

    /// Takes the caller's parameters: the data set, the flag, the caption and the Shift press.
    void InicializaForm(TParams arParams);
    /// Binds the data set, gives it one index per visible field and picks the search column.
    void PreparaPesquisa(TDataSet* cdsPesquisa);

    // Search state (read by the entry point and by tests).
    bool boPesqOK = false;
    bool LockedUP = false;
    bool boShift = false;
    AnsiString stColunaPesq;
    AnsiString OriginalFilter;
    int inTamCampo = 0;
    /// The caller's data set; borrowed, never freed. May be a data set of any kind.
    TDataSet* cdsPesquisa = nullptr;

private:
    /// The form's published methods, for the layout loader.
    std::vector<TMethodEntry> publishedMethods();
    /// Points every component field at the component the layout created.
    void bindComponentFields();

    // Search (screen/Search.cpp).
    AnsiString filterExpression(const AnsiString& searchText) const;
    void applyFilter(const AnsiString& expression);
    void searchAfterAppend();
    void clearSearch();
    void removeLastCharacter();

    // Confirmation (screen/Navigation.cpp).
    void applyEnterButtonRule();
    TDataSet* dataSet() const;

    // Keyboard (keyboard/KeyRouting.cpp).
    void PostText(const AnsiString& Texto, bool boReturn, bool boChar);
    void relabel(bool capitals);
};

/// Returns stTrue when Teste holds, stFalse otherwise.
AnsiString Condicao(bool Teste, const AnsiString& stTrue, const AnsiString& stFalse);

/// The layout of the search screen, keyboard included, in creation order.
const TLayout& layoutPesquisa();
/// The rows of the on-screen keyboard's keys, in creation order (keyboard/KeyLayout.cpp).
std::vector<TLayoutComponent> keyboardLayout();

// Unit variables.
extern TfrmPesquisa* frmPesquisa;
extern AnsiString stFilter;
extern AnsiString stColuna;

/// The unit's initialisation and finalisation, run by the package's Initialize and Finalize.
void initializeCliQmr41726();
void finalizeCliQmr41726();

/// The entry point: shows the search screen over arParams[0] and returns whether a row was chosen.
/// The parameter list is an open array: `arParams` points at `arParamsHigh + 1` variants.
extern "C" __attribute__((visibility("default"))) bool CriaTelaQmr41726(const Variant* arParams, int arParamsHigh,
                                                                        OleVariant& oleRetorno);
