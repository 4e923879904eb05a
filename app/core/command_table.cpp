#include "app/core/command_table.h"

#include "app/core/command_ids.h"
#include "app/core/editor_commands.h"
#include "app/core/joseki_commands.h"

namespace app {
namespace {

using namespace cmd;

const CommandInfo kCommands[] = {
    {kNewGame, "新規棋譜作成(&N)", "新しい棋譜を平手で作成します\n新規棋譜", nullptr, nullptr},
    {kNewTsume, "新規詰将棋作成(&T)", "新しい詰将棋を作成します\n新規詰将棋", nullptr, nullptr},
    {kOpenGame, "棋譜ファイルを開く(&O)", "棋譜ファイル(*.csa)を開きます\n棋譜を開く", nullptr, nullptr},
    {kOpenTsume, "詰将棋ファイルを開く(&I)", "詰将棋ファイル(*.pcl)を開きます\n詰将棋を開く", nullptr, nullptr},
    {kFileOpen, "開く(&O)...", "ファイルを開きます\n開く", nullptr, nullptr},
    {kFileClose, "閉じる(&C)", "作業中のウィンドウを閉じます\n閉じる", nullptr, nullptr},
    {kFileSave, "上書き保存(&S)", "作業中のファイルを保存します\n上書き保存", nullptr, nullptr},
    {kFileSaveAs, "名前を付けて保存(&A)...", "作業中のファイルに名前を付けて保存します\n名前を付けて保存", nullptr, nullptr},
    {kSaveDiagram, "局面図の保存(&D)...", "現在の局面を局面図(SVG または PNG)として保存します\n局面図の保存", nullptr, nullptr},
    {kSelectReadGame, "対局棋譜の選択読込(&K)", "複数の対局を含むファイルから一局を選んで読み込みます\n選択読込", nullptr, nullptr},
    {kSelectReadTsume, "詰将棋の選択読込(&K)", "複数の詰将棋を含むファイルから一題を選んで読み込みます\n選択読込", nullptr, nullptr},
    {kReadKakinoki, "柿木棋譜の読込(&F)", "柿木形式の棋譜ファイルを読み込みます\n柿木棋譜の読込", nullptr, nullptr},
    {kPrint, "印刷(&P)...", "棋譜を印刷します\n印刷", nullptr, nullptr},
    {kPrintPreview, "印刷プレビュー(&V)", "印刷イメージを表示します\n印刷プレビュー", nullptr, nullptr},
    {kPrintSetup, "プリンタの設定(&R)...", "プリンタと印刷の設定を変更します\nプリンタの設定", nullptr, nullptr},
    {kAppExit, "アプリケーションの終了(&X)", "駒楽工房を終了します\n終了", nullptr, nullptr},
    {kSetupNew, "新規作成(&N)", "局面を平手に作り直します\n新規作成", nullptr, nullptr},
    {kSetupOpen, "開く(&O)...", "局面ファイル(*.skb)を開きます\n開く", nullptr, nullptr},
    {kSetupEnd, "局面設定終了(&X)", "設定した局面を初期局面として局面設定を終了します\n局面設定終了", nullptr, nullptr},
    {kJosekiClose, "定跡窓を閉じる(&X)", "定跡散策の窓を閉じます\n閉じる", nullptr, nullptr},
    {kJosekiPositionNote, "定跡局面注釈(&K)", "選んだ定跡局面の注釈を編集します\n定跡局面注釈", nullptr, nullptr},
    {kJosekiMoveNote, "定跡手注釈(&B)", "選んだ定跡手の注釈を編集します\n定跡手注釈", nullptr, nullptr},
    {kJosekiMoveProps, "定跡手の特性(&P)", "選んだ定跡手の評価値を設定します\n定跡手の特性", nullptr, nullptr},
    {kJosekiEval, "形勢評価値の設定(&K)", "選んだ局面の形勢評価値を設定します\n形勢評価値", nullptr, nullptr},
    {kJosekiDelete, "定跡の削除(&D)", "選んだ定跡手を削除します\n定跡の削除", nullptr, nullptr},
    {kJosekiAutoNote, "定跡注釈自動表示(&A)", "定跡をたどったとき注釈を自動的に表示します\n定跡注釈自動表示", nullptr, nullptr},
    {kGameHeader, "対局見出(&M)", "対局者・対局日などの見出情報を設定します\n対局見出", nullptr, nullptr},
    {kTsumeHeader, "詰将棋見出(&M)", "表題・作者などの見出情報を設定します\n詰将棋見出", nullptr, nullptr},
    {kInitialPosition, "初期局面(&I)", "局面設定の窓で初期局面を編集します\n初期局面の設定", nullptr, nullptr},
    {kProblemDiagram, "出題図(&I)", "局面設定の窓で出題図を編集します\n出題図の設定", nullptr, nullptr},
    {kCopyRecord, "棋譜のコピー(&C)", "現在の局面以降の棋譜をクリップボードへコピーします\n棋譜のコピー", nullptr, nullptr},
    {kCopySfen, "局面のコピー(SFEN)(&S)", "現在の局面を SFEN の文字列でクリップボードへコピーします\n局面のコピー(SFEN)", nullptr, nullptr},
    {kPasteRecord, "棋譜の貼り付け(&P)", "クリップボードの棋譜でバッファを置き換えます\n棋譜の貼り付け", nullptr, nullptr},
    {kRecordEditing, "棋譜編集開始(&K)", "マウスで指し手を入力する棋譜編集を開始・終了します\n棋譜編集", nullptr, nullptr},
    {kEditAtEnd, "棋譜編集追加'(&L)", "最終局面から棋譜編集を開始します\n棋譜編集追加", nullptr, nullptr},
    {kBranchInput, "分岐入力開始(&E)\tCtrl+E", "次に入力する指し手を分岐として追加します\n分岐入力", nullptr, nullptr},
    {kDeleteMoves, "指し手削除", "選んだ指し手以降を削除します\n指し手削除", nullptr, nullptr},
    {kJosekiEditing, "定跡編集開始(&J)", "これからの駒操作を定跡として登録します\n定跡編集", nullptr, nullptr},
    {kJosekiDefaults, "定跡編集初期値の変更", "定跡編集で使う形勢評価値と指し手の評価の初期値を変更します\n定跡編集初期値", nullptr, nullptr},
    {kMoveAnnotation, "指し手注釈(&T)", "直前の指し手の注釈を編集します\n指し手注釈", nullptr, nullptr},
    {kMailPosition, "メール用局面出力(&A)", "現在の局面を文字で表してクリップボードへ出力します\nメール用局面出力", nullptr, nullptr},
    {kClipRecordText, "クリップボード棋譜出力", "棋譜を文字でクリップボードへ出力します\n棋譜出力", nullptr, nullptr},
    {kClipRecordCsa, "クリップボード棋譜出力(CSA)", "棋譜をCSA形式でクリップボードへ出力します\nCSA出力", nullptr, nullptr},
    {kClipTsumeText, "クリップボード詰将棋出力", "詰将棋を文字でクリップボードへ出力します\n詰将棋出力", nullptr, nullptr},
    {kClipTsumePcl, "クリップボード詰将棋出力(PCL)", "詰将棋をPCL形式でクリップボードへ出力します\nPCL出力", nullptr, nullptr},
    {kToolbarDialog, "ツールバー(&T)", "ツールバーの表示・非表示を切り替えます\nツールバー", nullptr, nullptr},
    {kStatusBar, "ステータスバー(&S)", "ステータスバーの表示・非表示を切り替えます\nステータスバー", nullptr, nullptr},
    {kAutoAnnotation, "指手注釈自動表示(&A)", "再生中に指し手の注釈を自動的に表示します\n注釈自動表示", nullptr, nullptr},
    {kFlip, "座 反転(&Z)", "盤面を180度回転して表示します\n座 反転", nullptr, "座 変換(&Z)"},
    {kOpenAux, "補助窓を開く(&W)", "見出の補助窓とガイド窓を開きます\n補助窓を開く", nullptr, nullptr},
    {kCloseAux, "補助窓を閉じる(&C)", "見出の補助窓とガイド窓を閉じます\n補助窓を閉じる", nullptr, nullptr},
    {kOpenRecordWindow, "棋譜窓を開く(&K)", "指し手の一覧と分岐の木を表示します\n棋譜窓", nullptr, nullptr},
    {kCloseRecordWindow, "棋譜窓を閉じる(&E)", "棋譜窓を閉じます\n棋譜窓を閉じる", nullptr, nullptr},
    {kZoom100, "表示倍率 100%(&1)", "盤面を元の大きさで表示します\n表示倍率 100%", nullptr, nullptr},
    {kZoom150, "表示倍率 150%(&5)", "盤面を1.5倍の大きさで表示します\n表示倍率 150%", nullptr, nullptr},
    {kZoom200, "表示倍率 200%(&2)", "盤面を2倍の大きさで表示します\n表示倍率 200%", nullptr, nullptr},
    {kZoomIn, "盤面拡大", "盤面の表示倍率を一段上げます\n盤面拡大", nullptr, nullptr},
    {kZoomOut, "盤面縮小", "盤面の表示倍率を一段下げます\n盤面縮小", nullptr, nullptr},
    {kLastMoveMark, "最終手を表示(&L)", "直前の指し手の移動元と移動先のマスに色を付けます\n最終手を表示", nullptr, nullptr},
    {kCascade, "重ねて表示(&C)", "ウィンドウを重ねて表示します\n重ねて表示", nullptr, nullptr},
    {kTile, "並べて表示(&T)", "ウィンドウを並べて表示します\n並べて表示", nullptr, nullptr},
    {kArrange, "アイコンの整列(&A)", "最小化したウィンドウを整列します\nアイコンの整列", nullptr, nullptr},
    {kSolveNew, "新規ウィンドウで思考(&N)", "新規ウィンドウを開いて、現局面を詰思考します。\n新規窓で詰思考", nullptr, nullptr},
    {kSolveHere, "現行ウィンドウで思考(&C)", "現行ウィンドウの局面を詰思考し、バッファを更新します。\n現行窓で詰思考", nullptr, nullptr},
    {kSolveDatabase, "データベースを思考(&D)", "詰将棋データベースの問題を連続して思考します。\n詰将棋ＤＢの思考", nullptr, nullptr},
    {kSolveStop, "詰思考の中断(&B)", "詰思考を中断します。\n詰思考の中断", nullptr, nullptr},
    {kSolverIterative, "詰探索：反復深化(&I)", "反復深化の詰探索で思考します（短編向き）。\n詰探索：反復深化", nullptr, nullptr},
    {kSolverProofNumber, "詰探索：証明数(&P)", "証明数による詰探索で思考します（長編向き）。\n詰探索：証明数", nullptr, nullptr},
    {kCheckTsume, "余詰検討(&Y)", "作意手順に余詰・早詰・不詰がないか調べます。\n余詰検討", nullptr, nullptr},
    {kDbSearch, "対局棋譜検索・選択(&S)", "データベースを検索して棋譜を選びます\n検索・選択", "詰将棋検索・選択(&S)", nullptr},
    {kJosekiBrowser, "定跡散策(&J)", "この局面から定跡をたどります\n定跡散策", nullptr, nullptr},
    {kDbRegister, "現バッファの対局登録(&T)", "このバッファの棋譜をデータベースへ登録します\n登録", "現バッファの詰将棋登録(&T)", nullptr},
    {kDbImportGames, "ファイルからの対局登録", "ファイルの対局をデータベースへ登録します\n対局登録", nullptr, nullptr},
    {kDbExportGames, "対局のファイル出力", "データベースの対局をファイルへ出力します\n対局出力", nullptr, nullptr},
    {kDbDeleteGames, "対局棋譜の削除", "データベースの対局を削除します\n対局削除", nullptr, nullptr},
    {kDbImportTsume, "ファイルからの詰将棋登録", "ファイルの詰将棋をデータベースへ登録します\n詰将棋登録", nullptr, nullptr},
    {kDbExportTsume, "詰将棋のファイル出力", "データベースの詰将棋をファイルへ出力します\n詰将棋出力", nullptr, nullptr},
    {kDbDeleteTsume, "詰将棋の削除", "データベースの詰将棋を削除します\n詰将棋削除", nullptr, nullptr},
    {kJosekiRegister, "バッファの定跡登録", "このバッファの指し手を定跡として登録します\n定跡登録", nullptr, nullptr},
    {kJosekiImport, "ファイルからの定跡登録", "ファイルの指し手を定跡として登録します\n定跡登録", nullptr, nullptr},
    {kJosekiExport, "定跡のファイル出力", "定跡をファイルへ出力します\n定跡出力", nullptr, nullptr},
    {kJosekiBulkDelete, "定跡の一括削除", "この局面以降の定跡を一括して削除します\n定跡削除", nullptr, nullptr},
    {kDbStatus, "状態表示(&M)", "データベースの状態を表示します\n状態表示", nullptr, nullptr},
    {kDbCreate, "データベース新規作成(&C)", "新しいデータベースを作成します\n新規作成", nullptr, nullptr},
    {kDbSettings, "データベースの設定(D)", "使用するデータベースのディレクトリを選びます\nデータベースの設定", nullptr, nullptr},
    {kSound, "駒音を鳴らす(&K)", "駒を動かすときに駒音を鳴らします\n駒音", nullptr, nullptr},
    {kRecordWindowAlways, "棋譜窓を常に開く(&W)", "棋譜を開くたびに棋譜窓を開きます\n棋譜窓を常に開く", nullptr, nullptr},
    {kBitmapBack, "盤 背景", "盤の背景画像を作成します\n盤 背景", nullptr, nullptr},
    {kBitmapBox, "駒箱", "駒箱の画像を作成します\n駒箱", nullptr, nullptr},
    {kBitmapPieces, "駒 ", "駒の画像を作成します\n駒", nullptr, nullptr},
    {kBitmapTitle, "タイトル", "タイトル画面を表示します\nタイトル", nullptr, nullptr},
    {kFirst, "初期局面(&H)", "初期局面へ戻ります\n初期局面", nullptr, nullptr},
    {kLast, "最終局面(&T)", "最終局面へ進みます\n最終局面", nullptr, nullptr},
    {kSelectBranch, "分岐選択(&Q)", "直前の指し手の分岐を選びます\n分岐選択", nullptr, nullptr},
    {kForward, "局面前進(&F)", "一手進めます\n前進", nullptr, nullptr},
    {kBack, "局面後退(&B)", "一手戻します\n後退", nullptr, nullptr},
    {kAutoForward, "自動前進(&N)", "一定の間隔で自動的に進めます\n自動前進", nullptr, nullptr},
    {kAutoBack, "自動後退(&P)", "一定の間隔で自動的に戻します\n自動後退", nullptr, nullptr},
    {kStop, "停止(&K)", "自動前進・自動後退を止めます\n停止", nullptr, nullptr},
    {kSpeed, "速度調整(&R)", "自動前進・自動後退の速さを調整します\n速度調整", "速度調整(&S)", nullptr},
    {kLayoutEven, "平手(&N)", "平手の初期配置にします\n平手", nullptr, nullptr},
    {kLayoutRightLance, "右香落(&R)", "右香落の配置にします\n右香落", nullptr, nullptr},
    {kLayoutLeftLance, "左香落(&L)", "左香落の配置にします\n左香落", nullptr, nullptr},
    {kLayoutRook, "飛落(&H)", "飛落の配置にします\n飛落", nullptr, nullptr},
    {kLayoutBishop, "角落(&K)", "角落の配置にします\n角落", nullptr, nullptr},
    {kLayoutTwo, "２枚落(&2)", "２枚落の配置にします\n２枚落", nullptr, nullptr},
    {kLayoutFour, "４枚落(&4)", "４枚落の配置にします\n４枚落", nullptr, nullptr},
    {kLayoutSix, "６枚落(&6)", "６枚落の配置にします\n６枚落", nullptr, nullptr},
    {kLayoutRookLance, "飛香落(&I)", "飛香落の配置にします\n飛香落", nullptr, nullptr},
    {kLayoutBishopLance, "角香落(&A)", "角香落の配置にします\n角香落", nullptr, nullptr},
    {kLayoutTsume, "詰将棋(&T)", "詰将棋の初期配置にします\n詰将棋", nullptr, nullptr},
    {kLayoutBox, "駒箱(&B)", "すべての駒を駒箱へ配置します。\n駒箱", nullptr, nullptr},
    {kSideSente, "先手番(&S)", "先手の手番にします\n先手番", nullptr, nullptr},
    {kSideGote, "後手番(&G)", "後手の手番にします\n後手番", nullptr, nullptr},
    {kSideUnset, "手番未設定(&N)", "手番を設定しません\n手番未設定", nullptr, nullptr},
    {kEditor, "エディタ(&E)", "テキストエディタの窓を開きます\nエディタ", nullptr, nullptr},
    {kConvertFiles, "ファイル変換(&C)", "柿木形式の棋譜をCSA形式へ変換します\nファイル変換", nullptr, nullptr},
    {kHelpTopics, "トピックの検索(&H)", "ヘルプを表示します\nヘルプ", nullptr, nullptr},
    {kAbout, "バージョン情報(WinKZB)(&A)...", "プログラムの情報とバージョンを表示します\nバージョン情報", nullptr, nullptr},
    {kEdUndo, "元に戻す(&U)", "直前の操作を元に戻します\n元に戻す", nullptr, nullptr},
    {kEdCut, "切り取り(&T)", "選択範囲を切り取ってクリップボードへ移します\n切り取り", nullptr, nullptr},
    {kEdCopy, "コピー(&C)", "選択範囲をクリップボードへコピーします\nコピー", nullptr, nullptr},
    {kEdPaste, "貼り付け(&P)", "クリップボードの内容を貼り付けます\n貼り付け", nullptr, nullptr},
    {kEdNew, "新規作成(&N)", "文書を新しく作成します\n新規作成", nullptr, nullptr},
    {kEdOpen, "開く(&O)...", "文書ファイルを開きます\n開く", nullptr, nullptr},
    {kEdSave, "上書き保存(&S)", "文書をファイルへ保存します\n上書き保存", nullptr, nullptr},
    {kEdSaveAs, "名前を付けて保存(&A)...", "文書に名前を付けて保存します\n名前を付けて保存", nullptr, nullptr},
    {kEdClose, "閉じる(&C)", "編集を終えてウィンドウを閉じます\n閉じる", nullptr, nullptr},
    {kEdReflow, "追い詰め(&F)", "段落の行を詰めてウィンドウの幅で折り返します\n追い詰め", nullptr, nullptr},
    {kEditorFont, "フォントの設定(&F)", "エディタのフォントを変更します\nフォントの設定", nullptr, nullptr},
    {kEditorToolbar, "ﾂｰﾙ ﾊﾞｰ(&T)", "ツールバーの表示・非表示を切り替えます\nツールバー", nullptr, nullptr},
    {kNoteStore, "注釈の登録(&T)", "編集した注釈を指し手に登録します\n注釈の登録", nullptr, nullptr},
    {kNoteDelete, "注釈の削除(&D)", "指し手の注釈を削除します\n注釈の削除", nullptr, nullptr},
    {57669, "", "選んだものの説明を表示します\nヘルプ", nullptr, nullptr},
};

template <typename T>
void Add(std::vector<T>& to, std::initializer_list<T> more) {
  for (const T& t : more) to.push_back(t);
}

}  // namespace

const CommandInfo* FindCommand(int id) {
  for (const CommandInfo& c : kCommands) {
    if (c.id == id) return &c;
  }
  return nullptr;
}

std::string CommandText(int id, WindowKind kind) {
  const CommandInfo* c = FindCommand(id);
  if (!c) return {};
  if (kind == kTsumeMenu && c->tsume_text) return c->tsume_text;
  if (kind == kSetupMenu && c->setup_text) return c->setup_text;
  return c->text;
}

std::string CommandPrompt(int id) {
  const CommandInfo* c = FindCommand(id);
  if (!c) return {};
  std::string p = c->prompt;
  return p.substr(0, p.find('\n'));
}

std::string CommandToolTip(int id) {
  const CommandInfo* c = FindCommand(id);
  if (!c) return {};
  std::string p = c->prompt;
  size_t nl = p.find('\n');
  return nl == std::string::npos ? p : p.substr(nl + 1);
}

std::vector<Accelerator> AcceleratorsOf(WindowKind kind) {
  std::vector<Accelerator> keys;
  if (kind == kAnnotationMenu || kind == kEditorMenu) keys = EditorAccelerators(kind);
  if (kind == kGameMenu || kind == kTsumeMenu || kind == kMainMenu) {
    keys = {{"Ctrl+A", kMailPosition}, {"Ctrl+B", kBack},        {"Ctrl+E", kBranchInput}, {"Ctrl+F", kForward},
            {"Ctrl+H", kFirst},        {"Ctrl+K", kStop},        {"Ctrl+L", kEditAtEnd},   {"Ctrl+N", kAutoForward},
            {"Ctrl+P", kAutoBack},     {"Ctrl+Q", kSelectBranch}, {"Ctrl+S", kFileSave},   {"Ctrl+T", kLast},
            {"Ctrl+X", kEdCut},        {"Ctrl+Z", kEdUndo},      {"Alt+Backspace", kEdUndo}, {"F1", kHelpTopics}};
    if (kind == kGameMenu) {
      Add<Accelerator>(keys, {{"Ctrl+C", kCopyRecord}, {"Ctrl+O", kOpenGame}, {"Ctrl+R", kSpeed}, {"Ctrl+V", kPasteRecord}});
    } else if (kind == kTsumeMenu) {
      Add<Accelerator>(keys, {{"Ctrl+C", kCopyRecord}, {"Ctrl+O", kOpenTsume}, {"Ctrl+V", kPasteRecord}});
    } else {
      Add<Accelerator>(keys, {{"Ctrl+C", kEdCopy}, {"Ctrl+O", kFileOpen}, {"Ctrl+V", kEdPaste}});
    }
    // One zoom step up or down on a board window.
    if (kind != kMainMenu) Add<Accelerator>(keys, {{"Ctrl+=", kZoomIn}, {"Ctrl++", kZoomIn}, {"Ctrl+-", kZoomOut}});
  }
  Add<Accelerator>(keys, {{"Shift+Del", kEdCut}, {"Shift+Ins", kEdPaste}});
  return keys;
}

std::vector<MenuSpec> MenusOf(WindowKind kind) {
  const MenuEntry sep{kSeparator};
  const MenuSpec help{"ヘルプ(&H)", {{kHelpTopics}, sep, {kAbout}}};
  if (kind == kAnnotationMenu || kind == kEditorMenu) return EditorMenus(kind);
  if (kind == kJosekiMenu) return JosekiMenus();
  if (kind == kMainMenu) {
    return {
        {"ファイル(&F)", {{kNewGame}, {kNewTsume}, {kOpenGame}, {kOpenTsume}, sep, {kPrintSetup}, sep, {kRecentFile}, sep, {kAppExit}}},
        {"表示(&V)", {{kToolbarDialog}, {kStatusBar}}},
        {"ツール(&T)", {{kEditor}}},
        help,
    };
  }
  if (kind == kSetupMenu) {
    return {
        {"ファイル(&F)", {{kSetupNew}, {kSetupOpen}, {kFileClose}, {kFileSave}, {kFileSaveAs}, sep, {kPrint}, sep, {kSetupEnd}}},
        {"駒 配置(&K)", {{kLayoutEven}, {kLayoutRightLance}, {kLayoutLeftLance}, {kLayoutRook}, {kLayoutBishop},
                         {kLayoutTwo}, {kLayoutFour}, {kLayoutSix}, {kLayoutRookLance}, {kLayoutBishopLance}, sep,
                         {kLayoutTsume}, {kLayoutBox}}},
        {"手番(&T)", {{kSideSente}, {kSideGote}, {kSideUnset}}},
        {"表示(&V)", {{kStatusBar}, {kFlip}}},
        {"ヘルプ(&H)", {{kAbout}}},
    };
  }
  const bool game = kind == kGameMenu;
  MenuSpec file{"ファイル(&F)", {{kNewGame}, {kNewTsume}, {game ? kOpenGame : kOpenTsume}, {kFileClose}, {kFileSave},
                                  {kFileSaveAs}, {kSaveDiagram}, sep, {game ? kSelectReadGame : kSelectReadTsume}}};
  if (game) file.entries.push_back({kReadKakinoki});
  Add<MenuEntry>(file.entries, {{kConvertFiles}, sep, {kPrint}, {kPrintPreview}, {kPrintSetup}, sep,
                                           {kRecentFile}, sep, {kAppExit}});
  MenuSpec edit{"編集(&E)", {{kCopyRecord}, {kCopySfen}, {kPasteRecord}, sep}};
  if (game) {
    Add<MenuEntry>(edit.entries, {{kMailPosition}, {kClipRecordText}, {kClipRecordCsa}, sep, {kGameHeader},
                                             {kInitialPosition}, sep, {kRecordEditing}, {kEditAtEnd}});
  } else {
    Add<MenuEntry>(edit.entries, {{kClipTsumeText}, {kClipTsumePcl}, sep, {kTsumeHeader}, {kProblemDiagram},
                                             sep, {kRecordEditing}, {kBranchInput}});
  }
  Add<MenuEntry>(edit.entries, {{kDeleteMoves}, {kMoveAnnotation}, sep, {kJosekiEditing}, {kJosekiDefaults}});
  MenuSpec play{"駒操作(&P)", {{kFirst}, {kBack}, {kForward}, {kLast}}};
  if (!game) play.entries.push_back({kSelectBranch});
  Add<MenuEntry>(play.entries, {sep, {kAutoForward}, {kAutoBack}, {kStop}, {kSpeed}, sep, {kAutoAnnotation},
                                           {kFlip}, {kSound}});
  MenuSpec solve{"詰思考(&S)", {{kSolveNew}, {kSolveHere}, {kSolveDatabase}, sep, {kSolveStop}, sep,
                                 {kSolverIterative}, {kSolverProofNumber}}};
  if (!game) Add<MenuEntry>(solve.entries, {sep, {kCheckTsume}});
  MenuSpec db{"データベース(&D)", {{kDbSearch}, {kJosekiBrowser}, {kDbRegister}, sep}};
  if (game) {
    Add<MenuEntry>(db.entries, {{kDbImportGames}, {kDbExportGames}, {kDbDeleteGames}});
  } else {
    Add<MenuEntry>(db.entries, {{kDbImportTsume}, {kDbExportTsume}, {kDbDeleteTsume}});
  }
  Add<MenuEntry>(db.entries, {sep, {kJosekiRegister}, {kJosekiImport}, {kJosekiExport}, {kJosekiBulkDelete}, sep,
                                       {kDbStatus}, {kDbCreate}, {kDbSettings}});
  MenuSpec view{"表示(&V)", {{kToolbarDialog}, {kStatusBar}, sep, {kOpenAux}, {kCloseAux}, {kOpenRecordWindow},
                              {kCloseRecordWindow}, sep, {kZoom100}, {kZoom150}, {kZoom200}, sep, {kLastMoveMark}, {kRecordWindowAlways}, sep, {kSubmenuBegin, "ビットマップ作成"},
                              {kBitmapBack}, {kBitmapBox}, {kBitmapPieces}, {kBitmapTitle}, {kSubmenuEnd}, sep, {kEditor}}};
  MenuSpec window{"ウィンドウ(&W)", {{kCascade}, {kTile}, {kArrange}, sep, {kWindowList}}};
  return {file, edit, play, solve, db, view, window, help};
}

const std::vector<ToolbarSpec>& Toolbars() {
  static const std::vector<ToolbarSpec> bars = {
      {"StandardBar", "標準", {kNewGame, kNewTsume, kFileOpen, kFileSave, 0, kCopyRecord, kPasteRecord, 0,
                               kPrintPreview, kOpenRecordWindow, kPrint, 0, kRecordEditing, kFlip, 57669}},
      {"PlayBar", "駒操作", {kAutoBack, kStop, kAutoForward, 0, kFirst, kBack, kForward, kLast, 0, kSelectBranch}},
      {"DataBaseBar", "データベース", {kDbSearch, kJosekiBrowser, 0, kDbRegister}},
  };
  return bars;
}

}  // namespace app
