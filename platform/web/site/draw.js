// Until the drawing code arrives, nothing is preloaded.
'use strict';
window.qvDraw = { ready: Promise.resolve() };
