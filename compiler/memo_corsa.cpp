// PLACEHOLDER (signal and slowdown storers).
#include "app/form1.h"
void Form1::memo_segnale(int32_t, int32_t&, int32_t&, int32_t&, int32_t&, int32_t&, int32_t&,
                         int32_t&, int32_t&, int32_t&, int32_t&) {}
void Form1::memo_rallentamento(int32_t, int32_t&, int32_t&, int32_t&, int32_t, int32_t&) {}
