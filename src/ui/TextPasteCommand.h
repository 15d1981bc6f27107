#pragma once

namespace celdo {

class EditorHost;

// "文字の貼付け..." (1230): the dialog "GFontDialog" with the run's text-paste
// settings; on "OK" the text is rendered in the current colour on the border
// colour, put on the clipboard with its mask (when one is asked for), and the
// paste command is posted when "貼付ける" is on.  "ｷｬﾝｾﾙ" changes and
// renders nothing.  True when a picture went to the clipboard.
bool RunTextPaste(EditorHost& host);

} // namespace celdo
