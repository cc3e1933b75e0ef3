// Makes the page, which links the web app manifest, an app that starts
// without a network: registers the service worker that keeps every file of
// the site. window.qvOffline.ready resolves to true once the worker
// controls the page (a reload then needs no network), to false where the
// browser has no service workers or refused this one.
(function () {
  'use strict';
  if (window.qvOffline) {
    return;
  }
  function controlled() {
    if (navigator.serviceWorker.controller) {
      return Promise.resolve(true);
    }
    return new Promise((resolve) => {
      navigator.serviceWorker.addEventListener('controllerchange', () => resolve(true), {once: true});
    });
  }
  if (!('serviceWorker' in navigator)) {
    window.qvOffline = {ready: Promise.resolve(false)};
    return;
  }
  // updateViaCache 'none': a new version of the site is seen on the next
  // visit, whatever the HTTP cache holds. Registered once the page has
  // loaded: the worker fetches the whole site, which would slow the start.
  const loaded = document.readyState === 'complete' ? Promise.resolve()
    : new Promise((resolve) => window.addEventListener('load', resolve, {once: true}));
  const ready = loaded.then(() => navigator.serviceWorker.register('sw.js', {updateViaCache: 'none'}))
    .then(() => navigator.serviceWorker.ready)
    .then(controlled)
    .catch(() => false);
  window.qvOffline = {ready: ready};
})();
