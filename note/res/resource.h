#pragma once
// Resource ids shared by note.rc and the code: the four text documents, type CUSTOM.

#define IDR_LICENSE 101
#define IDR_README 102
#define IDR_WHATSNEW 103
#define IDR_ADVERTISING 104
