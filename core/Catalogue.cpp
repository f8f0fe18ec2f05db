// The parameter catalogue as it stands at start-up.
#include "ParamDescriptor.h"

const ParamDescriptor kProgramItemRecords[kProgramItemCount] = {};
const ParamDescriptor kSetupParamRecords[kSetupParamCount] = {};

const TreeNodeEntry kTreeNodeRecords[kTreeNodeCount] = {
    {0, 0, 0, "ﾌﾟﾛｸﾞﾗﾑ設定", "Program setup", "hoge1", "(&A)", 1, 0},
    {1, 30, 26, "ﾌﾟﾛｸﾞﾗﾑ", "Program", "hoge2", "(&A)", 2, 0},
    {2, 0, 0, "ﾊﾟﾗﾒｰﾀ設定", "Parameter setup", "hoge3", "(&B)", 1, 0},
    {3, 1, 33, "可変ﾊﾟﾗﾒｰﾀ", "Variable parameter", "hoge4", "(&B)", 2, 0},
    {4, 1, 22, "可変ﾊﾟﾗﾒｰﾀ2", "Variable parameter 2", "hoge5", "(&C)", 2, 0},
    {5, 1, 36, "ｲﾍﾞﾝﾄｺﾝﾌﾃﾞｰﾀ", "Event configuration data", "hoge6", "(&D)", 2, 0},
    {6, 8, 10, "PIDﾊﾟﾗﾒｰﾀ", "PID parameter", "hoge7", "(&E)", 2, 0},
    {7, 8, 10, "PIDﾊﾟﾗﾒｰﾀ2", "PID parameter 2", "hoge8", "(&F)", 2, 0},
    {8, 1, 100, "ｾｯﾄｱｯﾌﾟﾃﾞｰﾀ", "Setup data", "hoge9", "(&G)", 2, 0},
    {9, 6, 11, "ﾃｰﾌﾞﾙﾃﾞｰﾀ", "Table data", "hoge10", "(&H)", 2, 0},
    {10, 1, 50, "定値運転ﾃﾞｰﾀ", "Constant-value operation data", "hoge11", "(&I)", 2, 0},
};
