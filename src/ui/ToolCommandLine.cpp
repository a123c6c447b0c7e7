#include "ui/ToolCommandLine.h"

#include "base/SettingsLocation.h"

namespace mrk2::ui {

ToolOptions parseToolOptions(const std::vector<std::string>& args) {
    ToolOptions out;
    auto fail = [&out](const std::string& why) {
        if (out.error.empty())
            out.error = why;
    };
    for (std::size_t i = 0; i < args.size(); ++i) {
        const std::string& a = args[i];
        if (a == "--help" || a == "-h")
            out.help = true;
        else if (a == "--version")
            out.version = true;
        else if (a != "--ini")
            fail("不明な引数です: " + a);
        else if (i + 1 < args.size())
            out.ini = args[++i];
        else
            fail("--ini には値が必要です。");
    }
    return out;
}

std::string toolHelpText() {
    return std::string(
               "使い方: mrk2tool [--ini FILE]\n"
               "\n"
               "MRKメンテナンスツール: 住所辞書のデータベース (基本データベース、地域別ＤＢ、\n"
               "学習辞書) を作成・更新するデスクトップツールです。同じ設定ファイルを使う\n"
               "mrk2tool は同時に一つしか起動できません。\n"
               "\n"
               "オプション:\n"
               "  --ini FILE    設定ファイル (既定は下の「設定ファイル」)\n"
               "  --help        この説明\n"
               "  --version     バージョン\n"
               "Qt の標準オプション (-platform など) も使えます。\n"
               "\n"
               "設定ファイル:\n") +
           kSettingsLocationHelp;
}

}  // namespace mrk2::ui
