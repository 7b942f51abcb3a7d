#include "files/DmmRecordFile.h"

#include "files/DmmRecordFormat.h"
#include "files/FileMessages.h"
#include "files/FileStore.h"
#include "files/TextCodec.h"

namespace qv::files {

bool DmmRecordFile::SaveDMMRecord() {
    const auto chosen = form_.os.files.saveFile(kFilter);
    if (!chosen || chosen->empty())
        return false;
    if (FileStore::exists(*chosen) && !FileMessages(form_.os.messages).confirmReplace(*chosen))
        return false;
    const DmmRecordFormat::Content content{
        form_.os.clock.shortDate(), form_.os.clock.longTime(),    form_.v.MeterModelName,
        form_.el.Text1.text(),      form_.el.RichTextBox1.text(),
    };
    const auto written =
        FileStore::write(*chosen, TextCodec::toSystem(DmmRecordFormat::compose(content)));
    // A record the user believes saved must be: a failed write says so (the old file stays).
    if (!written.ok)
        FileMessages(form_.os.messages).saveFailed(*chosen, written.reason);
    return written.ok;
}

} // namespace qv::files
