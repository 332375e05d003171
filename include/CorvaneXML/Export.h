#ifndef CORVANEXML_EXPORT_H
#define CORVANEXML_EXPORT_H

// The library is built with hidden symbols; exported classes carry this mark.
#define CORVANEXML_API __attribute__((visibility("default")))

#endif
