#pragma once

#include <array>
#include <string>
#include <string_view>

// Captions of the file list columns of the cache and the material browser.
// They are shared by every machine through "conf.ini"; until it is read they
// hold the built-in Japanese captions.
namespace FCT_Quind {

inline constexpr int ColumnCount = 9;
inline constexpr int SecondColumnCount = 6;
inline constexpr int AttributeCount = 3;

// The built-in captions: drive, folder, title, type, play time, start, end,
// user, modified.
inline constexpr std::array<std::string_view, ColumnCount> DefaultColumnNames{
    "ドライブ", "フォルダ", "タイトル", "種別", "再生時間", "開始", "終了", "ユーザー", "更新日時"};

// The captions in force, in the order of DefaultColumnNames.
extern std::array<std::string, ColumnCount> ColumnNames;
// The captions of the second list: time, "Q", then the type, play time,
// folder and title captions of ColumnNames.
extern std::array<std::string, SecondColumnCount> SecondColumnNames;
// Names of file attributes: hidden, read, read-write.
extern std::array<std::string, AttributeCount> AttributeNames;

// Sets every caption and attribute name to the built-in one (once at
// start-up, before "conf.ini" is read).
void InitDefaultColumnNames();

// Takes the captions the second list shares with ColumnNames again.
void RefreshSecondColumnNames();

} // namespace FCT_Quind
