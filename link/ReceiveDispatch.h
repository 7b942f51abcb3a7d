#pragma once
#include "common/Form.h"

#include <functional>

namespace qv::link {

/// The serial receive event: hands each receive event to the decoder of the operating mode that
/// the `DMMmode` button shows. The decoders begin with the packet assembly (receivePacket).
///
/// Installs itself as the port's event handler; keep it alive as long as the Form.
class ReceiveDispatch {
  public:
    /// comDmm and comDso are `COM_DMM` and `COM_DSO`; either may be empty (then nothing is done).
    ReceiveDispatch(common::Form &form, std::function<void()> comDmm, std::function<void()> comDso);
    ~ReceiveDispatch();
    ReceiveDispatch(const ReceiveDispatch &) = delete;
    ReceiveDispatch &operator=(const ReceiveDispatch &) = delete;

    /// The port's event; code 2 (bytes received) goes to the decoder, any other code is ignored.
    void MSComm1_OnComm(int code);
    /// The stream was cut (the port failed): the packet under way is dropped, and the decoders
    /// see nothing until a batch has started a new packet.
    void resync() { resync_ = true; }

  private:
    common::Form &form_;
    std::function<void()> comDmm_, comDso_;
    bool resync_ = false;
};

} // namespace qv::link
