// THSGPar: the modal dialog in which the user edits the 17 model parameters of the design
// calculation, two pages of float edits over one parameter block (the 144 bytes of the module
// record from its parameter slots on, the reserved slot included). The caller hands the block in
// before showing, reads it back after OK, and reads the check box "Als Standardwerte verwenden".
// Every confirmed edit stores its value; OK asks the caller's check whether the design refuses the
// block and, where it does, stays open with the German message, on the field it names.
#pragma once

#include "framework/ui/DisplayClasses.h"
#include "hsg/DesignInputs.h"
#include "hsg/HsgRecord.h"

#include <array>
#include <cstdint>
#include <functional>
#include <optional>
#include <span>
#include <vector>

class QAbstractButton;
class QCheckBox;
class QGroupBox;

namespace velmoran {

class TEditFloat;
class TExSpeedButton;
class TPageControl;
class TWhatsThis;

class THSGPar : public TVParamDlg {
public:
    using Block = std::array<std::uint8_t, hsg::kParameterBlockSize>;

    explicit THSGPar(QWidget* parent = nullptr);

    TPageControl* pcParam;
    QWidget* pnlNavigate;
    TExSpeedButton* BtnNext;
    TExSpeedButton* BtnPrevious;
    TExSpeedButton* BtnOK;
    TExSpeedButton* BtnCancel;
    // Enters the program's "What's this?" mode through the dialog's context-help component.
    QAbstractButton* BtnContextHelp;
    TWhatsThis* WhatsThis;
    QCheckBox* chkStdParam;

    TEditFloat* edBH;
    TEditFloat* edYh;
    TEditFloat* edATH;
    TEditFloat* edBa;
    TEditFloat* edYa;
    TEditFloat* edATA;
    TEditFloat* edMueA;
    TEditFloat* edATD;
    TEditFloat* edKN;
    TEditFloat* edIIN;
    TEditFloat* edIBP;
    TEditFloat* edfP;
    TEditFloat* edIBN;
    TEditFloat* edFI;
    TEditFloat* edFOVS;
    TEditFloat* edFOVE;
    TEditFloat* edFOVD;

    // The block the edits show when the dialog appears, and what they have stored since.
    void SetParameterBlock(std::span<const std::uint8_t, hsg::kParameterBlockSize> block);
    const Block& ParameterBlock() const { return block_; }

    QAbstractButton* ContextHelpButton() const { return BtnContextHelp; }

    // Asked at OK with the block as typed: why the design refuses it, or none. A refusal keeps
    // the dialog open: its message is shown and the field it names takes the focus, text selected.
    std::function<std::optional<ERefusedInput>(const Block&)> OnCheck;

    void BtnNextClick();
    void BtnPreviousClick();
    void BtnOKClick();
    void BtnCancelClick();
    // Previous is enabled above the first page, Next below the last.
    void UpdateButtons();

protected:
    void showEvent(QShowEvent* event) override;

private:
    struct Binding {
        TEditFloat* Edit;
        std::size_t Offset;  // the member's offset in the module record
    };
    // Shows why the block is refused and puts the focus on the field named, on its page.
    void Refuse(const ERefusedInput& refusal);
    TEditFloat* AddRow(QGroupBox& group, int row, const char* name, const char* label, const char* unit,
                       std::size_t offset);
    TExSpeedButton* AddButton(const char* name, const char* caption, int left, void (THSGPar::*click)());
    double Member(std::size_t offset) const;
    void SetMember(std::size_t offset, double value);

    Block block_{};
    std::vector<Binding> bindings_;
};

}  // namespace velmoran
