#include "base/Error.h"

#include <cerrno>
#include <cstring>
#include <new>

namespace mrk2 {

Error::Error(int number, std::string description, std::string context)
    : std::runtime_error(description),
      number_(number),
      description_(std::move(description)),
      context_(std::move(context)) {}

Error Error::in(const std::string& context) const {
    if (!context_.empty())
        return *this;
    return Error(number_, description_, context);
}

namespace {

const char* errnoText(int e) {
    switch (e) {
        case ENOENT:
            return "ファイルまたはディレクトリが見つかりません。";
        case EACCES:
        case EPERM:
            return "アクセスが拒否されました。";
        case ENOSPC:
            return "ディスクの空き領域が不足しています。";
        case EDQUOT:
            return "ディスク使用量の制限を超えました。";
        case EROFS:
            return "読み取り専用のファイルシステムです。";
        case EEXIST:
            return "ファイルが既に存在します。";
        case EISDIR:
            return "ディレクトリです。";
        case ENOTDIR:
            return "ディレクトリではありません。";
        case EBUSY:
            return "ファイルが使用中です。";
        case EIO:
            return "ディスク入出力エラーです。";
        case EXDEV:
            return "別のファイルシステムへは移動できません。";
        case ENAMETOOLONG:
            return "ファイル名が長過ぎます。";
        case EMFILE:
        case ENFILE:
            return "開いているファイルが多過ぎます。";
        default:
            return nullptr;
    }
}

}  // namespace

Error fileError(int errnoValue, const std::string& what) {
    std::string text;
    if (const char* t = errnoText(errnoValue)) {
        text = t;
    } else {
        text = std::string("ファイル操作に失敗しました。") + " [" + std::strerror(errnoValue) + "]";
    }
    if (!what.empty())
        text += " " + what;
    return Error(errnoValue, text);
}

Error asError(const std::exception& e) {
    if (const auto* err = dynamic_cast<const Error*>(&e))
        return *err;
    if (dynamic_cast<const Refusal*>(&e))
        return Error(0, e.what());
    if (dynamic_cast<const std::bad_alloc*>(&e))
        return Error(ENOMEM, "メモリが不足しています。");
    return Error(0, std::string("予期しないエラーです。 [") + e.what() + "]");
}

std::string standardErrorText(const Error& e, const std::string& context) {
    std::string text = e.description() + "(" + std::to_string(e.number()) + ")";
    const std::string& where = context.empty() ? e.context() : context;
    if (!where.empty())
        text += "\n" + where;
    return text;
}

}  // namespace mrk2
