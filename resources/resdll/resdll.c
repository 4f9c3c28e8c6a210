/* ResDLL.dll holds resources only. It is linked without the C runtime and without an entry
   point; this file exists because a library needs at least one object file. */
typedef int scribo_resdll_has_no_code;
