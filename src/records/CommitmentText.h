#pragma once

#include "draw/Commitment.h"

#include <string>
#include <string_view>

// The text of a commitment (予告文), the form in which it is published before the public value
// exists, and in which the records folder keeps the one waiting for its draw. UTF-8, one field
// a line, values escaped as in records:
//
//   くじ丸 公開抽選の予告
//   記録の形式: 2
//   予告番号: 3f2a 9b0c … (sixteen groups of four hexadecimal digits)
//   予告の日時: 2026-12-08 19:00:00 +0900
//   モード: 数字抽選モード
//   ダブり無し: あり
//   最小値: 1                       (number mode)
//   最大値: 100                     (number mode; 登録数 in file mode)
//   抽選数: 3-2
//   エントリーの件数: 1234          (file mode)
//   エントリーのSHA-256: <64 digits> (file mode)
//   公開値の説明: 2026年12月24日 年末ジャンボ 1等 組と番号（例: 12組123456）
//   <a fixed sentence that says what the number fixes>
//   記録の終わり
namespace kuji {

std::string formatCommitmentText(const Commitment& commitment);

// Reads a commitment back. Strict as the record parser: a missing or malformed field, a
// control character (a carriage return too, unless it ends a line), malformed UTF-8, or a
// number that does not follow from the fields is refused, and problem names the line and the
// cause.
bool parseCommitmentText(std::string_view text, Commitment& commitment, std::string& problem);

} // namespace kuji
