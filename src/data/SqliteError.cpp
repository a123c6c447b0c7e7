#include "data/SqliteError.h"

#include <sqlite3.h>

namespace mrk2 {

namespace {

const char* sqliteText(int primary) {
    switch (primary) {
        case SQLITE_ERROR:
            return "SQL エラーです。";
        case SQLITE_PERM:
            return "アクセスが拒否されました。";
        case SQLITE_ABORT:
            return "処理が中断されました。";
        case SQLITE_BUSY:
            return "データベースが使用中です。";
        case SQLITE_LOCKED:
            return "テーブルがロックされています。";
        case SQLITE_NOMEM:
            return "メモリが不足しています。";
        case SQLITE_READONLY:
            return "データベースに書き込めません。";
        case SQLITE_IOERR:
            return "ディスク入出力エラーです。";
        case SQLITE_CORRUPT:
            return "データベースファイルが壊れています。";
        case SQLITE_FULL:
            return "ディスクの空き領域が不足しています。";
        case SQLITE_CANTOPEN:
            return "データベースファイルを開けません。";
        case SQLITE_CONSTRAINT:
            return "値がフィールドの制約に違反しています。";
        case SQLITE_MISMATCH:
            return "データ型が一致しません。";
        case SQLITE_NOTADB:
            return "データベースファイルではありません。";
        case SQLITE_TOOBIG:
            return "値が大き過ぎます。";
        default:
            return "データベースエラーです。";
    }
}

}  // namespace

Error sqliteError(int resultCode, const std::string& detail) {
    std::string text = sqliteText(resultCode & 0xff);
    if (!detail.empty())
        text += " [" + detail + "]";
    return Error(resultCode, text);
}

}  // namespace mrk2
