#include "common/FileErrors.h"

#include <cerrno>
#include <cstring>

namespace kuji {

std::string describeFileError(int errnum)
{
    switch (errnum) {
    case ENOENT:
        return "ファイルが見つかりません。";
    case ENOTDIR:
        return "パスが見つかりません。";
    case EACCES:
    case EPERM:
        return "ファイルへのアクセスが拒否されました。";
    case EISDIR:
        return "フォルダーはファイルとして読み込めません。";
    case ENODEV:
        return "通常のファイルではないため読み込めません。";
    case EFBIG:
        return "ファイルが大きすぎます。";
    case ENOMEM:
        return "メモリが不足しています。";
    case EIO:
        return "デバイス I/O エラーです。";
    case ENAMETOOLONG:
        return "パス名が長すぎます。";
    case ELOOP:
        return "シンボリックリンクが多すぎます。";
    case EMFILE:
    case ENFILE:
        return "開いているファイルが多すぎます。";
    case ENOSPC:
        return "ディスクの空き領域が不足しています。";
    case EDQUOT:
        return "ディスクの使用量の上限を超えました。";
    case EROFS:
        return "読み取り専用のファイル システムには書き込めません。";
    case EBUSY:
        return "ファイルは別の処理で使用中です。";
    default:
        return std::strerror(errnum);
    }
}

} // namespace kuji
