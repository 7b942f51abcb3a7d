#include "app/Program.h"

#include "app/ModeSwitch.h"
#include "dso/WaveScreen.h"

namespace qv::app {

Program::Program(platform::Platform &platform, std::size_t historyFrames)
    : form_(platform), measurements_(form_, tables_), dsoDecoder_(form_, tables_),
      dmmDecoder_(form_), recordLog_(form_), serialLink_(form_), runControl_(form_),
      dispatch_(
          form_, [this] { dmmDecoder_.COM_DMM(); }, [this] { COM_DSO(); }),
      spectrum_(form_, tables_, windows_), cursors_(form_, tables_, spectrum_), waveFiles_(form_),
      recordFile_(form_), printing_(form_, tables_, measurements_, spectrum_, cursors_),
      frames_(form_, historyFrames), commands_(form_, handlers()) {
    wireProcedures();
}

void Program::wireProcedures() {
    common::Procedures &call = form_.call;
    call.DMMmode = [this] { DMMmode(form_); };
    call.DSOmode = [this] { DSOmode(form_); };
    const auto underlay = [this](common::DrawingTarget &target) { reference_.drawUnder(target); };
    call.DSO_display = [this, underlay] {
        dso::DSO_display(form_, tables_, measurements_, underlay);
        shown();
    };
    call.FFT_Display = [this] {
        spectrum_.FFT_Display();
        shown();
    };
    printing_.setUnderlay(underlay);
    call.Display_Coordinate_screen = [this] {
        dso::Display_Coordinate(form_, form_.el.Picture1, 0);
    };
    call.CursorInit = [this] { cursors_.CursorInit(); };
    call.CloseHCursor = [this] { cursors_.CloseHCursor(); };
    call.CloseVCursor = [this] { cursors_.CloseVCursor(); };
    call.Clear_dVdt = [this] { cursors_.Clear_dVdt(); };
    call.Display_DMMReading = [this] { dmmDecoder_.panel().Display_DMMReading(); };
    call.mnuDMMRecordPause_Click = [this] { recordLog_.mnuDMMRecordPause_Click(); };
    call.SaveDMMRecord = [this] { return recordFile_.SaveDMMRecord(); };
    call.CaptionChange = [this](const std::string &name) { CaptionChange(name); };
    call.DropCutFrame = [this] {
        dispatch_.resync();
        dsoDecoder_.dropFrame();
    };
}

void Program::COM_DSO() {
    dsoDecoder_.COM_DSO();
    if (dsoDecoder_.lastOutcome() == dso::FrameOutcome::Shown)
        frames_.frameArrived();
}

void Program::shown() {
    frames_.waveShown();
    reference_.updateItems();
    common::Procedures::run(waveShown);
}

void Program::setPeakReadout(bool on) {
    spectrum_.showPeak = on;
    const common::Elements &el = form_.el;
    if (el.DSOmode.checked() && !el.DSO_wave.checked() && form_.wave.WaveValid)
        form_.call.FFT_Display();
}

CommandHandlers Program::handlers() {
    CommandHandlers h;
    h.NewRecord = [this] { recordLog_.NewRecord(); };
    h.FileOpen = [this] { waveFiles_.FileOpen(); };
    h.menuSave_Click = [this] { waveFiles_.menuSave_Click(); };
    h.mnuSaveAs_Click = [this] { waveFiles_.mnuSaveAs_Click(); };
    h.Printout = [this] { printing_.Printout(); };
    h.mnuCopy_Click = [this] { printing_.mnuCopy_Click(); };
    h.ComOnOff = [this] { serialLink_.ComOnOff(); };
    h.StartStop = [this] { runControl_.StartStop(); };
    h.DMMRecord = [this] { recordLog_.DMMRecord(); };
    h.mnuLink_Click = [this] { serialLink_.mnuLink_Click(); };
    h.mnuBreak_Click = [this] { serialLink_.mnuBreak_Click(); };
    h.mnuStart_Click = [this] { runControl_.mnuStart_Click(); };
    h.mnuPause_Click = [this] { runControl_.mnuPause_Click(); };
    h.mnuDMMRecordStart_Click = [this] { recordLog_.mnuDMMRecordStart_Click(); };
    h.mnuDMMRecordPause_Click = [this] { recordLog_.mnuDMMRecordPause_Click(); };
    h.mnuDSOwave_Click = [this] { spectrum_.mnuDSOwave_Click(); };
    h.mnuDSOFFT_Click = [this] { spectrum_.mnuDSOFFT_Click(); };
    h.mnuLinear_Click = [this] { spectrum_.mnuLinear_Click(); };
    h.mnuLog_Click = [this] { spectrum_.mnuLog_Click(); };
    h.mnuAbout_Click = [this] { mnuAbout_Click(); };
    h.mnuExit_Click = [this] { common::Procedures::run(quit); };
    h.exportAs = [this](int item) { exports_.exportAs(item); };
    h.mnuTrend_Click = [this] { common::Procedures::run(openTrend); };
    h.COM = [this](int n) { serialLink_.mnuCOM_Click(n); };
    h.mnuOtherPort_Click = [this] { serialLink_.mnuOtherPort_Click(); };
    h.SetRecordTime = [this](int seconds) {
        recordLog_.SetRecordTime(static_cast<std::int16_t>(seconds));
    };
    h.chooseWindow = [this](int type) { spectrum_.selectWindow(type); };
    return h;
}

void Program::Form_Load() {
    common::Elements &el = form_.el;
    // Save, Save As and Print are disabled by DMMmode below; Copy only here.
    el.Copy.setEnabled(false);
    el.mnuCopy.setEnabled(false);

    form_.v.WindowType = 1;
    el.mnuWindow[1].setChecked(true);
    form_.v.WindowName = "Hanning";
    form_.v.SpectrumLogScale = 0;
    el.mnuLinear.setChecked(true);

    form_.geo = common::ScreenGeometry{};
    // The window and scale tables filled themselves when made (MakeWindow, MakeParameter).
    DMMmode(form_);
    recordLog_.SetRecordTime(1);
    form_.v.CursorMode = 0;
    cursors_.CursorInit();
    // The receive threshold of 20 bytes is the port's own (platform::SerialPort::kThreshold).
    el.mnuBreak.setChecked(true);
    el.mnuBreak.setEnabled(false);
    serialLink_.startUp(); // SearchForCom(true), unless a device was named
}

void Program::Picture1_MouseDown(int button, int shift, double x, double y) {
    if (!form_.el.Picture1Mouse.enabled())
        return;
    cursors_.Picture1_MouseDown(button, shift, static_cast<float>(x), static_cast<float>(y));
}

void Program::Picture1_OLEDragDrop(const std::vector<std::string> &paths) {
    waveFiles_.Picture1_OLEDragDrop(paths);
}

std::string captionFor(const std::string &fileName) {
    const size_t p = fileName.find_last_of("\\/");
    return (p == std::string::npos ? fileName : fileName.substr(p + 1)) + " - QVLINK";
}

void Program::CaptionChange(const std::string &fileName) {
    form_.el.caption.setText(captionFor(fileName));
}

void Program::mnuAbout_Click() {
    platform::Message m;
    m.text = "QM520V示波表PC接口软件 V1.1";
    (void)form_.os.messages.show(m);
}

} // namespace qv::app
