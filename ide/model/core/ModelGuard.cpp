// The model library is tested without a window: it must not see a GUI module.
#if defined(QT_GUI_LIB) || defined(QT_WIDGETS_LIB)
#error "vexaide_model must link Qt6::Core only"
#endif
